// The one translation unit that compiles the stb_image decoders, limited to
// the picture kinds movies carry (JPEG, PNG, GIF) read from memory.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR

#include <stb_image.h>
