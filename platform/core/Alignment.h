#pragma once

#include <cstdint>

// Horizontal alignment of text, shared by the framework's labels and the
// shaped buttons' caption renderer.
enum TAlignment : std::uint8_t { taLeftJustify, taRightJustify, taCenter };
