#pragma once

#include <QtGlobal>

#include <cstddef>
#include <functional>

// Where pictures' pixels may live instead of FFmpeg's own buffers: memory a viewer shows from
// directly. A null block from `allocate` means FFmpeg's buffers after all.
struct PictureMemory
{
    std::function<uchar*(std::size_t bytes)> allocate;
    std::function<void(uchar* block)> release;

    explicit operator bool() const { return allocate && release; }
};
