#pragma once

class QGuiApplication;

// The window's connection to the X server. Qt sends each repaint over it as one request. A
// Unix socket takes more only while three quarters of its buffer are free: by default some
// 52 KB, less than one repaint of the badge's glow (about 64 KB). The repaint then stopped
// halfway to wait for the server to read it, which woke Spindrel a second time for nearly
// every frame it drew.
namespace DisplayConnection {

// Gives `socket` room for a few such repaints unread, as far as the system lets a program ask
// (net.core.wmem_max), unless it already has more.
void makeRoomForRepaints(int socket);
// The same for the application's X connection; nothing on Wayland or offscreen.
void makeRoomForRepaints(const QGuiApplication& app);

}  // namespace DisplayConnection
