// Runs the program's KWin script or GNOME Shell extension outside KWin and
// GNOME Shell, with stand-ins for what they give a script, and with the real
// session bus: the script reports FIRST as the window active when it starts,
// then SECOND when the stand-in activates it.
//
//   gjs focus_script_host.js kwin6|kwin5|gnome SCRIPT FIRST SECOND
//
// For KWin the ids are desktop file names (Plasma 6) or window classes
// (Plasma 5); for GNOME, FIRST is an application GNOME Shell knows and
// SECOND a window it knows only by its WM_CLASS. Each D-Bus call the KWin
// script makes is printed; an error ends the host with 1.
const { Gio, GLib } = imports.gi;
const ByteArray = imports.byteArray;

const [mode, scriptPath, first, second] = ARGV;
const source = ByteArray.toString(GLib.file_get_contents(scriptPath)[1]);

// Lets the main loop run for `ms`: asynchronous calls go out, the program
// settles on the focus.
function pause(ms) {
    const loop = new GLib.MainLoop(null, false);
    GLib.timeout_add(GLib.PRIORITY_DEFAULT, ms, () => {
        loop.quit();
        return GLib.SOURCE_REMOVE;
    });
    loop.run();
}

function signal() {
    const handlers = [];
    return {
        connect(handler) { handlers.push(handler); },
        emit(value) { handlers.forEach(h => h(value)); },
        count() { return handlers.length; },
    };
}

function callDBus(service, path, iface, method, ...args) {
    try {
        Gio.DBus.session.call_sync(service, path, iface, method,
            new GLib.Variant('(s)', [String(args[0])]), null, Gio.DBusCallFlags.NONE, 2000, null);
        print(`called ${method} ${args[0]}`);
    } catch (e) {
        printerr(`${method} failed: ${e.message}`);
        imports.system.exit(1);
    }
}

if (mode === 'kwin6' || mode === 'kwin5') {
    const plasma6 = mode === 'kwin6';
    const window = id => plasma6 ? { desktopFileName: id, resourceClass: 'other' }
                                 : { desktopFileName: '', resourceClass: id };
    const activated = signal();
    const workspace = plasma6 ? { windowActivated: activated, activeWindow: window(first) }
                              : { clientActivated: activated, activeClient: window(first) };
    new Function('workspace', 'callDBus', source)(workspace, callDBus);
    if (activated.count() !== 1) {
        printerr('the script did not follow activations');
        imports.system.exit(1);
    }
    pause(700);
    activated.emit(window(second));
    activated.emit(null);  // no window: nothing to report
} else if (mode === 'gnome') {
    const focus = signal();
    const display = {
        focus_window: { app: first, get_wm_class: () => 'unused' },
        connect(name, handler) {
            if (name === 'notify::focus-window')
                focus.connect(handler);
            return 1;
        },
        disconnect() {},
    };
    const Shell = {
        WindowTracker: {
            get_default: () => ({
                get_window_app: w => w.app ? { get_id: () => `${w.app}.desktop` } : null,
            }),
        },
    };
    const fakeImports = { gi: { Gio, GLib, Shell } };
    const init = new Function('imports', 'global', `${source}\nreturn init;`)(
        fakeImports, { display });
    const extension = init();
    extension.enable();
    pause(700);
    display.focus_window = { app: null, get_wm_class: () => second };
    focus.emit();
    pause(700);
    extension.disable();
} else {
    printerr(`unknown mode ${mode}`);
    imports.system.exit(2);
}
pause(200);
