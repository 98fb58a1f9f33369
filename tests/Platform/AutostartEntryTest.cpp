#include "Platform/AutostartEntry.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <optional>

#include "Support/FileBytes.h"

using namespace Qt::StringLiterals;

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
    const QList<QByteArray> lines = fileBytes(entry.path()).split('\n');
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
    // The last two are how the desktops' own tools switch an entry off without deleting it.
    for (const auto& [text, enabled] :
         {std::pair{"[Desktop Entry]\nType=Application\nExec=spindrel\n", true},
          std::pair{"[Desktop Entry]\nType=Application\nExec=spindrel\nHidden=true\n", false},
          std::pair{"[Desktop Entry]\nExec=spindrel\nX-GNOME-Autostart-enabled=false\n", false}}) {
        ASSERT_TRUE(writeFileBytes(entry.path(), text));
        EXPECT_EQ(entry.isEnabled(), enabled) << text;
    }
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
    ASSERT_TRUE(writeFileBytes(notAFolder, "a file where the folder should be"));
    AutostartEntry entry(notAFolder, u"/usr/bin/spindrel"_s);
    EXPECT_FALSE(entry.setEnabled(true));
    EXPECT_FALSE(entry.isEnabled());
}
