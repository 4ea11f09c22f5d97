// The one translation unit that holds tinygltf's code where no prebuilt library exists. Its image
// code is stb's, compiled once elsewhere.
#include <stb/stb_image.h>
#include <stb/stb_image_write.h>
#define TINYGLTF_IMPLEMENTATION
#define TINYGLTF_NO_INCLUDE_STB_IMAGE
#define TINYGLTF_NO_INCLUDE_STB_IMAGE_WRITE
#include <tiny_gltf.h>
