#pragma once

#include <memory>

// An owning handle for a libwayland object, released through the call that belongs to it
// (a destructor request, wl_proxy destruction, or closing the display) when the handle goes.
template <auto release>
struct WaylandRelease {
    template <typename Object>
    void operator()(Object* object) const {
        release(object);
    }
};

template <typename Object, auto release>
using WaylandPtr = std::unique_ptr<Object, WaylandRelease<release>>;
