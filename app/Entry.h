#pragma once

// Starts the trainer: application, windows, message loop. Returns the exit code.
int RunLadoton(int argc, char** argv);
