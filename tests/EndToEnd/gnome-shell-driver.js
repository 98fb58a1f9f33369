// Drives a running GNOME Shell over its session bus, as a person at it would: real pointer and
// key input through Mutter's remote desktop service, screenshots, the list of open windows and
// the registered tray items. It reads one command a line on stdin and answers one line each:
//
//   key [KEYSYM]            presses and releases a key, Shift unless a keysym is given
//   point X Y               puts the pointer at X,Y on the screen
//   click [N]               presses and releases the left button N times (1) where the pointer is
//   idletime                Mutter's idle time, in milliseconds
//   shot PATH               a PNG of the whole screen at PATH (a folder the shell can write)
//   changed A B Y0 Y1 X0    the box "x0 y0 x1 y1" where screenshots A and B differ, looking at
//                           rows Y0..Y1 and columns from X0 on; "none" if nowhere
//   windows                 one "title|app-id|hidden" per open window, joined by ";"
//   items                   "ITEM=TITLE" per item the StatusNotifierWatcher lists, joined by ";"
//
// Usage: gjs gnome-shell-driver.js (with DBUS_SESSION_BUS_ADDRESS of the shell's session)
const { Gio, GLib, GdkPixbuf } = imports.gi;

const bus = Gio.DBus.session;
const BTN_LEFT = 0x110;
const SHIFT_L = 0xffe1;

function call(name, path, iface, method, args, replyType) {
    return bus.call_sync(name, path, iface, method, args,
        replyType ? new GLib.VariantType(replyType) : null,
        Gio.DBusCallFlags.NONE, 10000, null);
}

// The shell answers screenshots and window lists only to GNOME's own screenshot tool and
// desktop portal; a test session has neither, so the driver takes their names.
for (const name of ['org.gnome.Screenshot', 'org.freedesktop.impl.portal.desktop.gnome']) {
    const [result] = call('org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus',
        'RequestName', new GLib.Variant('(su)', [name, 4]), '(u)').deepUnpack();
    if (result !== 1)
        throw new Error(`could not own ${name}`);
}

const [sessionPath] = call('org.gnome.Mutter.RemoteDesktop', '/org/gnome/Mutter/RemoteDesktop',
    'org.gnome.Mutter.RemoteDesktop', 'CreateSession', null, '(o)').deepUnpack();
const SESSION = 'org.gnome.Mutter.RemoteDesktop.Session';
function input(method, args) {
    call('org.gnome.Mutter.RemoteDesktop', sessionPath, SESSION, method, args, null);
}
input('Start', null);

function changedBox(a, b, y0, y1, x0) {
    const one = GdkPixbuf.Pixbuf.new_from_file(a);
    const two = GdkPixbuf.Pixbuf.new_from_file(b);
    if (one.get_width() !== two.get_width() || one.get_height() !== two.get_height())
        return 'sizes differ';
    const [p, q] = [one.get_pixels(), two.get_pixels()];
    const stride = one.get_rowstride();
    const channels = one.get_n_channels();
    let box = null;
    for (let y = y0; y <= Math.min(y1, one.get_height() - 1); y++) {
        for (let x = x0; x < one.get_width(); x++) {
            const at = y * stride + x * channels;
            if (p[at] === q[at] && p[at + 1] === q[at + 1] && p[at + 2] === q[at + 2])
                continue;
            if (!box)
                box = [x, y, x, y];
            box = [Math.min(box[0], x), Math.min(box[1], y), Math.max(box[2], x), Math.max(box[3], y)];
        }
    }
    return box ? box.join(' ') : 'none';
}

const commands = {
    key(keysym = SHIFT_L) {
        input('NotifyKeyboardKeysym', new GLib.Variant('(ub)', [Number(keysym), true]));
        input('NotifyKeyboardKeysym', new GLib.Variant('(ub)', [Number(keysym), false]));
        return 'ok';
    },
    point(x, y) {
        // Relative motion is all a session without a screen cast may send: into the top-left
        // corner, where the pointer stops, then out to the place.
        input('NotifyPointerMotionRelative', new GLib.Variant('(dd)', [-10000, -10000]));
        input('NotifyPointerMotionRelative', new GLib.Variant('(dd)', [Number(x), Number(y)]));
        return 'ok';
    },
    click(times = 1) {
        for (let i = 0; i < Number(times); i++) {
            input('NotifyPointerButton', new GLib.Variant('(ib)', [BTN_LEFT, true]));
            input('NotifyPointerButton', new GLib.Variant('(ib)', [BTN_LEFT, false]));
        }
        return 'ok';
    },
    idletime() {
        const [ms] = call('org.gnome.Mutter.IdleMonitor', '/org/gnome/Mutter/IdleMonitor/Core',
            'org.gnome.Mutter.IdleMonitor', 'GetIdletime', null, '(t)').deepUnpack();
        return String(ms);
    },
    shot(path) {
        const [success, used] = call('org.gnome.Shell.Screenshot', '/org/gnome/Shell/Screenshot',
            'org.gnome.Shell.Screenshot', 'Screenshot', new GLib.Variant('(bbs)', [false, false, path]),
            '(bs)').deepUnpack();
        return success ? `ok ${used}` : 'failed';
    },
    changed(a, b, y0, y1, x0) {
        return changedBox(a, b, Number(y0), Number(y1), Number(x0));
    },
    windows() {
        const [windows] = call('org.gnome.Shell', '/org/gnome/Shell/Introspect',
            'org.gnome.Shell.Introspect', 'GetWindows', null, '(a{ta{sv}})').recursiveUnpack();
        return Object.values(windows)
            .map(w => `${w['title'] ?? ''}|${w['app-id'] ?? ''}|${w['is-hidden']}`).join(';');
    },
    items() {
        const property = (service, path, iface, name) => call(service, path,
            'org.freedesktop.DBus.Properties', 'Get', new GLib.Variant('(ss)', [iface, name]),
            '(v)').recursiveUnpack()[0];
        const items = property('org.kde.StatusNotifierWatcher', '/StatusNotifierWatcher',
            'org.kde.StatusNotifierWatcher', 'RegisteredStatusNotifierItems');
        return items.map(item => {
            // The extension names an item "SERVICE@PATH", others "SERVICE/PATH" or "SERVICE".
            const [, service, path] = item.match(/^([^@/]+)@?(\/.*)?$/);
            return `${item}=${property(service, path ?? '/StatusNotifierItem',
                'org.kde.StatusNotifierItem', 'Title')}`;
        }).join(';');
    },
};

print('ready');
const stdin = new Gio.DataInputStream({
    base_stream: new Gio.UnixInputStream({ fd: 0, close_fd: false }),
});
for (;;) {
    const [line] = stdin.read_line_utf8(null);
    if (line === null)
        break;
    const [command, ...args] = line.trim().split(/\s+/);
    try {
        print(command in commands ? commands[command](...args) : `unknown command ${command}`);
    } catch (e) {
        print(`error ${e.message.replace(/\n/g, ' ')}`);
    }
}
