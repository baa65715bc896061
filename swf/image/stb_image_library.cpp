// The one translation unit that compiles the stb_image decoders, limited to
// the picture kinds movies carry (JPEG, PNG, GIF) read from memory.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
// Zeroed allocations: decoder state a damaged file never sets up (a Huffman
// table it does not define) reads as empty rather than as leftover memory.
#define STBI_MALLOC(size) calloc(1, size)
#define STBI_REALLOC(pointer, size) realloc(pointer, size)
#define STBI_FREE(pointer) free(pointer)

#include <cstdlib>

#include <stb_image.h>
