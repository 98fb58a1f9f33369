#include "Platform/Linux/XEmbedTrayColors.h"

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct ConnectionCloser {
    void operator()(xcb_connection_t* connection) const { xcb_disconnect(connection); }
};
struct ReplyFree {
    void operator()(void* reply) const { std::free(reply); }
};
template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, ReplyFree>;

xcb_atom_t atom(xcb_connection_t* connection, const std::string& name) {
    const ReplyPtr<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(
        connection,
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(name.size()), name.c_str()), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

}  // namespace

std::optional<QColor> xembedTrayForeground() {
    // A short-lived connection of our own: errors come back as replies, never as a fatal
    // handler, and a tray that vanishes mid-question just means no answer.
    int screen = 0;
    const std::unique_ptr<xcb_connection_t, ConnectionCloser> connection(
        xcb_connect(nullptr, &screen));
    if (xcb_connection_has_error(connection.get()) != 0) {
        return std::nullopt;
    }
    const xcb_atom_t selection =
        atom(connection.get(), "_NET_SYSTEM_TRAY_S" + std::to_string(screen));
    const xcb_atom_t colors = atom(connection.get(), "_NET_SYSTEM_TRAY_COLORS");
    if (selection == XCB_ATOM_NONE || colors == XCB_ATOM_NONE) {
        return std::nullopt;
    }
    const ReplyPtr<xcb_get_selection_owner_reply_t> owner(xcb_get_selection_owner_reply(
        connection.get(), xcb_get_selection_owner(connection.get(), selection), nullptr));
    if (!owner || owner->owner == XCB_WINDOW_NONE) {
        return std::nullopt;
    }
    // Twelve cardinals: foreground, error, warning and success, each as 16-bit red, green, blue.
    const ReplyPtr<xcb_get_property_reply_t> property(xcb_get_property_reply(
        connection.get(),
        xcb_get_property(connection.get(), 0, owner->owner, colors, XCB_ATOM_CARDINAL, 0, 12),
        nullptr));
    if (!property || property->type != XCB_ATOM_CARDINAL || property->format != 32 ||
        xcb_get_property_value_length(property.get()) < int(3 * sizeof(uint32_t))) {
        return std::nullopt;
    }
    const auto* rgb = static_cast<const uint32_t*>(xcb_get_property_value(property.get()));
    const auto channel = [](uint32_t value) { return static_cast<quint16>(value & 0xFFFFU); };
    return QColor(QRgba64::fromRgba64(channel(rgb[0]), channel(rgb[1]), channel(rgb[2]), 0xFFFF));
}
