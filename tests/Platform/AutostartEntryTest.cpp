#include "Platform/AutostartEntry.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

QByteArray contents(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void write(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

}  // namespace

TEST(AutostartEntry, OnWritesAnEntryStartingTheBinaryAndOffRemovesIt) {
    QTemporaryDir config;
    const std::optional<QByteArray> saved = qEnvironmentVariableIsSet("XDG_CONFIG_HOME")
                                                ? std::optional(qgetenv("XDG_CONFIG_HOME"))
                                                : std::nullopt;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    const QString folder = AutostartEntry::defaultFolder();
    saved ? qputenv("XDG_CONFIG_HOME", *saved) : qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(folder, config.filePath(u"autostart"_s));

    AutostartEntry entry(folder, u"/usr/bin/spindrel"_s);
    EXPECT_EQ(entry.path(), folder + u"/spindrel.desktop"_s);
    EXPECT_FALSE(entry.isEnabled());
    EXPECT_TRUE(entry.setEnabled(false));  // nothing there to remove is no failure

    // The folder does not exist yet: switching on makes it.
    ASSERT_TRUE(entry.setEnabled(true));
    EXPECT_TRUE(entry.isEnabled());
    const QList<QByteArray> lines = contents(entry.path()).split('\n');
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.front(), "[Desktop Entry]");
    EXPECT_TRUE(lines.contains("Type=Application"));
    EXPECT_TRUE(lines.contains("Exec=/usr/bin/spindrel"));
    EXPECT_FALSE(lines.contains("Hidden=true"));

    ASSERT_TRUE(entry.setEnabled(false));
    EXPECT_FALSE(QFile::exists(entry.path()));
    EXPECT_FALSE(entry.isEnabled());
}

TEST(AutostartEntry, AnEntryEditedByHandIsReadAsItStands) {
    QTemporaryDir config;
    AutostartEntry entry(config.path(), u"/usr/bin/spindrel"_s);
    write(entry.path(), "[Desktop Entry]\nType=Application\nExec=spindrel\n");
    EXPECT_TRUE(entry.isEnabled());

    // How the desktops' own tools switch an entry off without deleting it.
    write(entry.path(), "[Desktop Entry]\nType=Application\nExec=spindrel\nHidden=true\n");
    EXPECT_FALSE(entry.isEnabled());
    write(entry.path(), "[Desktop Entry]\nExec=spindrel\nX-GNOME-Autostart-enabled=false\n");
    EXPECT_FALSE(entry.isEnabled());
    ASSERT_TRUE(entry.setEnabled(true));
    EXPECT_TRUE(entry.isEnabled());
}

TEST(AutostartEntry, APathWithSpacesOrReservedCharactersIsQuoted) {
    EXPECT_EQ(AutostartEntry::execValue(u"/opt/My Apps/spindrel"_s),
              u"\"/opt/My Apps/spindrel\""_s);
    // Inside the quotes $ is escaped; the key file then doubles the backslash, and % is doubled.
    EXPECT_EQ(AutostartEntry::execValue(u"/home/a$b/100%/spindrel"_s),
              u"\"/home/a\\\\$b/100%%/spindrel\""_s);
}

TEST(AutostartEntry, AFolderThatCannotBeMadeLeavesItOffAndSaysSo) {
    QTemporaryDir config;
    const QString notAFolder = config.filePath(u"autostart"_s);
    write(notAFolder, "a file where the folder should be");
    AutostartEntry entry(notAFolder, u"/usr/bin/spindrel"_s);
    EXPECT_FALSE(entry.setEnabled(true));
    EXPECT_FALSE(entry.isEnabled());
}
