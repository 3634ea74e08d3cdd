# A short soak: a thousand random pointer and key events across every window
# of the trainer with every box answered; the program must survive, answer
# typed notes afterwards, log only note-ons and end with 0 on "X".
# (scripts/soak.sh runs the long one and judges the memory too.)
set -euo pipefail
# One fixed seed, so the suite runs the same events every time; scripts/soak.sh
# draws new ones.
export SOAK_EVENTS=${SOAK_EVENTS:-1000}
export SOAK_SEED=${SOAK_SEED:-20261210}
exec bash "$(dirname "${BASH_SOURCE[0]}")/soak/run_soak.sh"
