// The limits of GIF's LZW coding, shared by the reader and the writer.
#pragma once

constexpr int kLzwMaxCodes = 4096;  // entries a table holds
constexpr int kLzwMaxWidth = 12;    // bits of the widest code
