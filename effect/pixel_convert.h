// Moving pixels between the host's worlds (alpha, red, green, blue, rows
// padded to the host's row length) and the engine's packed buffers (frames
// red, green, blue, alpha; textures with the channels reversed).
//
// Row lengths count channels: bytes in 8-bit mode, 16-bit values in 16-bit
// mode. The first three routines take the depth from the engine's switch
// (__GetDeep). When *target is null they allocate it with VirtualAlloc; the
// caller then owns it and takes it into a PageArray. When that allocation
// fails *target stays null and nothing is written. A target the caller
// supplies is written in place. Buffers, sizes and row lengths must agree.
// Each routine shares its rows among the engine's worker threads.
#pragma once

#include <cstdint>

// Host frame into a packed engine frame (4 * width channels a row). An
// allocated target holds height * host_row_length channels.
void ConvertToEngineOrder(uint8_t** target, const void* host, int32_t width, int32_t height,
                          int32_t host_row_length);

// Packed engine frame back into the strided host frame; channels of a host row
// beyond 4 * width are left alone. An allocated target holds
// height * host_row_length channels.
void ConvertToHostOrder(uint8_t** target, const void* engine, int32_t width, int32_t height,
                        int32_t host_row_length);

// Source image into a packed engine texture, source channels 0, 1, 2, 3 becoming
// texel channels 3, 2, 1, 0. An allocated target holds width * height pixels.
void ConvertTextureOrder(uint8_t** target, const void* source, int32_t width, int32_t height,
                         int32_t source_row_length);
// The same with 16-bit channels when deep is set, whatever the engine's switch.
void ConvertTextureOrderAtDepth(uint8_t** target, const void* source, int32_t width, int32_t height,
                                int32_t source_row_length, bool deep);

// Copies width x height pixels unchanged, 16-bit channels when deep is set.
void CopyPixelRows(void* destination, const void* source, int32_t width, int32_t height,
                   int32_t destination_row_length, int32_t source_row_length, bool deep);
