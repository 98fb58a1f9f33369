#include "Platform/Linux/XEmbedTrayColors.h"

#include <gtest/gtest.h>

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <string>

#include "Support/RealServices.h"

namespace {

// A tray manager of our own on the test's X server: it owns the default screen's tray
// selection and may advertise colours as a panel does.
class TrayManager {
public:
    TrayManager() : connection_(xcb_connect(nullptr, &screenNumber_)) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection_)).data;
        window_ = xcb_generate_id(connection_);
        xcb_create_window(connection_, XCB_COPY_FROM_PARENT, window_, screen->root, 0, 0, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
        selection_ = atom("_NET_SYSTEM_TRAY_S" + std::to_string(screenNumber_));
        xcb_set_selection_owner(connection_, window_, selection_, XCB_CURRENT_TIME);
        xcb_flush(connection_);
    }
    ~TrayManager() {
        xcb_destroy_window(connection_, window_);
        xcb_disconnect(connection_);
    }
    TrayManager(const TrayManager&) = delete;
    TrayManager& operator=(const TrayManager&) = delete;

    void advertise(const std::array<uint32_t, 12>& colors, xcb_atom_t type = XCB_ATOM_CARDINAL) {
        xcb_change_property(connection_, XCB_PROP_MODE_REPLACE, window_,
                            atom("_NET_SYSTEM_TRAY_COLORS"), type, 32,
                            static_cast<uint32_t>(colors.size()), colors.data());
        xcb_flush(connection_);
    }
    void quit() {
        xcb_set_selection_owner(connection_, XCB_WINDOW_NONE, selection_, XCB_CURRENT_TIME);
        xcb_flush(connection_);
    }

private:
    xcb_atom_t atom(const std::string& name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            connection_,
            xcb_intern_atom(connection_, 0, static_cast<uint16_t>(name.size()), name.c_str()),
            nullptr);
        const xcb_atom_t result = reply->atom;
        std::free(reply);
        return result;
    }

    int screenNumber_ = 0;
    xcb_connection_t* connection_;
    xcb_window_t window_ = 0;
    xcb_atom_t selection_ = 0;
};

}  // namespace

TEST(XEmbedTrayColors, ReadsTheForegroundAPanelAdvertisesAndNothingOtherwise) {
    SPINDREL_REQUIRE_SERVICE(!qEnvironmentVariableIsEmpty("DISPLAY"), "an X display");
    EXPECT_EQ(xembedTrayForeground(), std::nullopt) << "no tray at all";

    TrayManager tray;
    EXPECT_EQ(xembedTrayForeground(), std::nullopt) << "a tray that advertises nothing";

    // A dark panel asks for near-white icons; error, warning and success colours follow.
    tray.advertise({0xEEEE, 0xECEC, 0xF0F0, 0xFFFF, 0, 0, 0xFFFF, 0x8000, 0, 0, 0xC000, 0});
    const std::optional<QColor> light = xembedTrayForeground();
    ASSERT_TRUE(light.has_value());
    EXPECT_EQ(light->rgba64(), QRgba64::fromRgba64(0xEEEE, 0xECEC, 0xF0F0, 0xFFFF));

    tray.advertise({0x2E2E, 0x3434, 0x3636, 0, 0, 0, 0, 0, 0, 0, 0, 0}, XCB_ATOM_INTEGER);
    EXPECT_EQ(xembedTrayForeground(), std::nullopt) << "colours of the wrong type";

    tray.advertise({0x2E2E, 0x3434, 0x3636, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_EQ(xembedTrayForeground()->rgba64(),
              QRgba64::fromRgba64(0x2E2E, 0x3434, 0x3636, 0xFFFF));

    tray.quit();
    EXPECT_EQ(xembedTrayForeground(), std::nullopt) << "the tray has gone";
}
