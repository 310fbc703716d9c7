// A KWin script that tvq-config loads on KDE Plasma under Wayland: it tells
// the program which application has the focus, by its desktop file name or
// else its window class, on every activation.
function report(window) {
    if (!window) {
        return;
    }
    const id = String(window.desktopFileName || window.resourceClass || "");
    if (id === "") {
        return;
    }
    callDBus("io.github.tvq_config.TvqConfig", "/io/github/tvq_config/TvqConfig",
             "io.github.tvq_config.Profiles1", "ActiveApplicationChanged", id);
}

if (workspace.windowActivated) {
    workspace.windowActivated.connect(report);  // Plasma 6
    report(workspace.activeWindow);
} else {
    workspace.clientActivated.connect(report);  // Plasma 5
    report(workspace.activeClient);
}
