#pragma once

#include <QString>

// The desktop entry that starts Spindrel with the user's session (XDG Autostart): the file
// spindrel.desktop in the user's autostart folder, present or not. The disk is the only record,
// so an entry added or removed by hand counts as the user's choice.
class AutostartEntry {
public:
    // `folder` is the autostart folder; `program` the binary the entry starts.
    AutostartEntry(const QString& folder, const QString& program);

    // $XDG_CONFIG_HOME/autostart, ~/.config/autostart when it is unset.
    static QString defaultFolder();

    QString path() const { return path_; }

    // An entry is there and does not switch itself off (Hidden=true is the standard's way,
    // X-GNOME-Autostart-enabled=false GNOME's).
    bool isEnabled() const;
    // Writes the entry (atomically) or removes it; false when the disk refused, leaving what
    // was there.
    bool setEnabled(bool on);

    // The Exec line's value that starts `program`, quoted as desktop entries require.
    static QString execValue(const QString& program);

private:
    QString folder_;
    QString path_;
    QString program_;
};
