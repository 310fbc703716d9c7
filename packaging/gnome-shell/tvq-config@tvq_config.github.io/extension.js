/* exported init */
// Tells tvq-config which application has the focus, on every focus change:
// its desktop application id (the ".desktop" file's name without the
// extension) where GNOME Shell knows it, else the window's WM_CLASS class.
// The call goes to the program's D-Bus interface; when the program is not
// running, nothing happens.
const { Gio, GLib, Shell } = imports.gi;

const BUS_NAME = 'io.github.tvq_config.TvqConfig';
const OBJECT_PATH = '/io/github/tvq_config/TvqConfig';
const INTERFACE = 'io.github.tvq_config.Profiles1';

function applicationIdOf(window) {
    if (!window)
        return '';
    const app = Shell.WindowTracker.get_default().get_window_app(window);
    const desktopId = app ? app.get_id() || '' : '';
    if (desktopId !== '' && !desktopId.startsWith('window:'))
        return desktopId.replace(/\.desktop$/, '');
    return window.get_wm_class() || '';
}

class FocusReporter {
    enable() {
        this._handler = global.display.connect('notify::focus-window', () => this._report());
        this._report();
    }

    disable() {
        if (this._handler) {
            global.display.disconnect(this._handler);
            this._handler = null;
        }
    }

    _report() {
        const id = applicationIdOf(global.display.focus_window);
        if (id === '')
            return;
        Gio.DBus.session.call(BUS_NAME, OBJECT_PATH, INTERFACE, 'ActiveApplicationChanged',
            new GLib.Variant('(s)', [id]), null, Gio.DBusCallFlags.NO_AUTO_START, 1000,
            null, null);
    }
}

function init() {
    return new FocusReporter();
}
