#include "hiscore/HiScoreStore.hpp"

#include "HiScoreTestSupport.hpp"
#include "core/GamePaths.hpp"
#include "hiscore/FileDescriptor.hpp"
#include "hiscore/HiScoreXml.hpp"

#include <array>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>

namespace fs = std::filesystem;
using SaveResult = HiScoreStore::SaveResult;

namespace {

// A game's store of the file, with its console.
struct Game {
    explicit Game(const std::string& path) : store(path, nullptr, console) {}
    // The console since the last look.
    std::string out() {
        const std::string text = console.str();
        console.str("");
        return text;
    }
    std::ostringstream console;
    HiScoreStore store;
};

HiScoreEntry record(const std::string& name, int total) {
    return HiScoreEntry(name, 0, total, 0);
}

HiScore builtIn() {
    HiScore table;
    table.setMaxEntries(HiScoreStore::tableSize);
    return table;
}

// The table in the file, as the library reads it.
std::vector<std::string> fileRows(const std::string& path) {
    HiScore table;
    table.setMaxEntries(HiScoreStore::tableSize);
    std::ostringstream console;
    std::string reason;
    if (HiScoreXml::read(readFile(path), table, console, reason) != HiScoreXml::Found::Table)
        return {"no table: " + reason};
    return rows(table);
}

std::string loadMessage(const std::string& path) {
    return "Can't load '" + path + "'. Setting HISCOREs to defaults..\n";
}

struct stat statOf(const std::string& path) {
    struct stat info {};
    lstat(path.c_str(), &info);
    return info;
}

// Two games in child processes that act on one file at the same moment: run() lets each
// do act(game, round) at once and gives back what each reported.
class TwoGames {
public:
    explicit TwoGames(const std::function<std::string(int, int)>& act) {
        for (int game = 0; game < 2; ++game) {
            int go[2], back[2];
            if (pipe(go) != 0 || pipe(back) != 0)
                throw std::runtime_error("no pipe");
            children[game] = fork();
            if (children[game] == 0) {
                close(go[1]);
                close(back[0]);
                for (int other = 0; other < game; ++other) { // or the other would not see EOF
                    close(toChild[other]);
                    fclose(fromChild[other]);
                }
                for (int round; read(go[0], &round, sizeof round) == sizeof round;) {
                    const std::string report = act(game, round) + "\n";
                    if (write(back[1], report.data(), report.size()) < 0)
                        break;
                }
                _exit(0);
            }
            close(go[0]);
            close(back[1]);
            toChild[game] = go[1];
            fromChild[game] = fdopen(back[0], "r");
        }
    }
    ~TwoGames() {
        for (int game = 0; game < 2; ++game) {
            close(toChild[game]);
            fclose(fromChild[game]);
            waitpid(children[game], nullptr, 0);
        }
    }
    std::array<std::string, 2> run(int round) {
        for (const int fd : toChild)
            if (write(fd, &round, sizeof round) != sizeof round)
                return {"no child", "no child"};
        std::array<std::string, 2> reports;
        for (int game = 0; game < 2; ++game) {
            char line[4096] = "";
            if (!fgets(line, sizeof line, fromChild[game]))
                reports[game] = "no report";
            reports[game] = line;
        }
        return reports;
    }

private:
    std::array<pid_t, 2> children{};
    std::array<int, 2> toChild{};
    std::array<FILE*, 2> fromChild{};
};

std::string outcome(HiScoreStore& store, const HiScoreEntry& entry) {
    switch (store.save(entry)) {
    case SaveResult::Saved:
        return "saved";
    case SaveResult::NotRanked:
        return "not ranked";
    case SaveResult::Refused:
        break;
    }
    return "refused: " + store.saveNotice();
}

} // namespace

TEST(HiScoreStoreLoad, NoFileOrNoTableBringsTheBuiltInTableAndKeepsTheFile) {
    Folder folder;
    Game game(folder.path);
    game.store.load();
    EXPECT_EQ(game.out(), "Hiscore node is not SEQ.\n" + loadMessage(folder.path));
    EXPECT_EQ(rows(game.store.table()), rows(builtIn()));
    writeFile(folder.path, head + tail);
    game.store.load();
    EXPECT_EQ(game.out(), "Hiscore node is not SEQ.\n" + loadMessage(folder.path));
    EXPECT_EQ(readFile(folder.path), head + tail);
}

// Damaged files (the library's reader crashed, aborted or hung on the first ones; a hang
// would time the test out) are set aside under the first free name, never over a file kept
// before; the fuzzer's finds either are, or load and take a record into a file that loads
// the same table with the record.
TEST(HiScoreStoreLoad, EveryTestFileIsSetAsideOrLoadsAgain) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& found : fs::directory_iterator(DRAVOLT_TEST_DATA "/hiscore"))
        files.emplace_back(found.path().filename(), readFile(found.path()));
    // This one passes the check but makes the library throw.
    files.emplace_back("unclosed quote", tableFile("<_><player><name>\"open</name></player></_>"));
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        Folder folder;
        writeFile(folder.path + ".bad.1", "an older damaged file");
        writeFile(folder.path, bytes);
        Game game(folder.path);
        game.store.load();
        const std::string out = game.out();
        if (out.find("' is damaged: ") != std::string::npos) {
            EXPECT_EQ(out.rfind("'" + folder.path + "' is damaged: ", 0), 0u) << out;
            EXPECT_NE(
                out.find("\nMoved it to '" + folder.path + ".bad'.\n" + loadMessage(folder.path)),
                std::string::npos)
                << out;
            EXPECT_EQ(rows(game.store.table()), rows(builtIn()));
            writeFile(folder.path, bytes + " ");
            game.store.load();
            EXPECT_NE(game.out().find("\nMoved it to '" + folder.path + ".bad.2'.\n"),
                      std::string::npos);
            EXPECT_FALSE(fs::exists(folder.path));
            EXPECT_EQ(readFile(folder.path + ".bad"), bytes);
            EXPECT_EQ(readFile(folder.path + ".bad.1"), "an older damaged file");
            EXPECT_EQ(readFile(folder.path + ".bad.2"), bytes + " ");
            continue;
        }
        EXPECT_EQ(name.rfind("fuzz_", 0), 0u);
        HiScore expected = game.store.table();
        expected.insert(record("new", 1 << 30), false);
        ASSERT_EQ(game.store.save(record("new", 1 << 30)), SaveResult::Saved);
        std::vector<std::string> saved = fileRows(folder.path), wanted = rows(expected);
        // Entries equal in all four numbers come back in reverse order.
        std::sort(saved.begin(), saved.end());
        std::sort(wanted.begin(), wanted.end());
        EXPECT_EQ(saved, wanted);
    }
}

// A refused save leaves the file as it was, keeps the record in the table for this run, and
// says why on the console and in the notice for the start screen.
TEST(HiScoreStoreSave, RefusalSaysWhyAndChangesNothing) {
    Folder folder;
    writeFile(folder.path + ".lock", "");
    Game game(folder.path);
    game.store.load();
    game.out();
    const auto refused = [&](const std::string& why) {
        SCOPED_TRACE(why);
        const auto contents = [&] {
            return (fs::is_regular_file(folder.path) ? readFile(folder.path) : "") +
                   std::to_string(folder.names().size());
        };
        const std::string before = contents();
        EXPECT_EQ(game.store.save(record("record", 9000)), SaveResult::Refused);
        EXPECT_EQ(game.out(), game.store.saveNotice() + "\n");
        EXPECT_EQ(game.store.saveNotice().rfind("Can't save '" + folder.path + "': " + why, 0), 0u)
            << game.store.saveNotice();
        EXPECT_EQ(contents(), before); // the file, and no temporary file left
        EXPECT_EQ(game.store.table().entries.front().name, "record");
    };
    fs::create_directory(folder.path); // root may write anywhere, but not over a folder
    refused("the game can't read it (not a regular file)");
    fs::remove(folder.path);

    // The owner's write bit decides, whatever the group and others may do; a file without
    // the owner's read bit is not read, so nothing in it can be lost.
    writeFile(folder.path, tableFile(item("a", "1", "1", "1")));
    fs::permissions(folder.path, fs::perms(0444));
    refused("the file is read-only");
    EXPECT_EQ(fs::status(folder.path).permissions(), fs::perms(0444));
    fs::permissions(folder.path, fs::perms(0277));
    refused("the game can't read it (Permission denied)");
    // Once it can be read again, the record joins what it holds.
    fs::permissions(folder.path, fs::perms(0600));
    EXPECT_EQ(game.store.save(record("later", 9000)), SaveResult::Saved);
    EXPECT_EQ(fileRows(folder.path).back(), "a 1 1 1 0");
}

// An installed game saves into the per-user folder, made on the first save; a folder that
// cannot be made costs the save only, with the reason.
TEST(HiScoreStoreSave, TheDataFolderIsMadeBeforeTheFirstSave) {
    Folder folder;
    writeFile(folder.dir / "file", "x");
    for (const std::string data : {"data", "file"}) { // XDG_DATA_HOME and HOME alike
        const GamePaths paths(
            {folder.dir / "work", "", [&](auto&) { return (folder.dir / data).string(); }, "", {}});
        std::ostringstream console;
        HiScoreStore store(paths.writeFile("hiscore.xml"), &paths, console);
        const bool saved = store.save(record("a", 9000)) == SaveResult::Saved;
        EXPECT_EQ(saved, data == "data");
        EXPECT_EQ(fs::is_regular_file(folder.dir / data / "dravolt/hiscore.xml"), saved);
        EXPECT_EQ(store.saveNotice().find("': can't create the folder '"),
                  saved ? std::string::npos : store.name().size() + 12)
            << store.saveNotice();
    }
}

// The file keeps its mode; links of the player's own (here a relative link to a relative
// link, first to no file yet) are written through to their target.
TEST(HiScoreStoreSave, KeepsThePlayersModeAndWritesThroughTheirLinks) {
    Folder folder;
    writeFile(folder.path, tableFile(""));
    fs::permissions(folder.path, fs::perms(0604));
    Game game(folder.path);
    ASSERT_EQ(game.store.save(record("a", 5000)), SaveResult::Saved);
    EXPECT_EQ(fs::status(folder.path).permissions(), fs::perms(0604));

    fs::remove(folder.path);
    fs::create_directory(folder.dir / "real");
    fs::create_symlink("real/link", folder.path);
    fs::create_symlink("table.xml", folder.dir / "real/link");
    for (const int total : {6000, 7000}) {
        ASSERT_EQ(game.store.save(record("b", total)), SaveResult::Saved);
        EXPECT_TRUE(fs::is_symlink(folder.path) && fs::is_symlink(folder.dir / "real/link"));
        EXPECT_EQ(fileRows(folder.path), rows(game.store.table()));
    }
    EXPECT_EQ(fs::status(folder.path).permissions(), fs::perms(0644) & ~fs::perms(umask(022)));
    EXPECT_EQ(namesIn(folder.dir / "real"),
              (std::vector<std::string>{"link", "table.xml", "table.xml.lock"}));
}

// What a link leads to may be any file of the player's: only a table there is the game's.
TEST(HiScoreStoreLinks, WhatALinkLeadsToIsLeftAloneUnlessItIsATable) {
    for (const std::string& notes : {std::string("plain notes\n"), head + tail,
                                     tableFile(item("cut", "1", "2", "3")).substr(0, 90)}) {
        SCOPED_TRACE(notes);
        Folder folder;
        fs::create_directory(folder.dir / "other");
        writeFile(folder.dir / "other/notes.txt", notes);
        fs::create_symlink("other/notes.txt", folder.path);
        Game game(folder.path);
        game.store.load();
        EXPECT_EQ(rows(game.store.table()), rows(builtIn()));
        EXPECT_NE(game.out().find(loadMessage(folder.path)), std::string::npos);
        EXPECT_EQ(game.store.save(record("record", 9000)), SaveResult::Refused);
        EXPECT_EQ(game.store.saveNotice(),
                  "Can't save '" + folder.path + "': it links to a file that is not a table");
        EXPECT_EQ(fs::read_symlink(folder.path), "other/notes.txt");
        EXPECT_EQ(readFile(folder.dir / "other/notes.txt"), notes);
        EXPECT_EQ(std::distance(fs::directory_iterator(folder.dir / "other"), {}), 1);
    }
}

// Anyone who can write a folder on the way could point a link at the player's files.
TEST(HiScoreStoreLinks, OnlyThePlayersOwnAndRootsLinksAreWrittenThrough) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a link to another user";
    Folder folder;
    fs::create_directory(folder.dir / "real");
    fs::permissions(folder.dir / "real", fs::perms::all);
    const std::string table = folder.dir / "real/table.xml";
    writeFile(table, tableFile(item("a", "1", "1", "1")));
    ASSERT_EQ(chown(table.c_str(), nobody, nogroup), 0);
    fs::create_symlink("real/table.xml", folder.path);
    fs::create_symlink("real", folder.dir / "folder");
    for (const std::string& link : {folder.path, (folder.dir / "folder").string()}) {
        ASSERT_EQ(lchown(link.c_str(), nobody, nogroup), 0);
        const std::string name = link == folder.path ? link : link + "/table.xml";
        Game game(name);
        game.store.load();
        EXPECT_EQ(rows(game.store.table()), fileRows(table)) << "a link is read through";
        EXPECT_EQ(game.store.save(record("root", 9000)), SaveResult::Refused);
        EXPECT_EQ(game.store.saveNotice(), "Can't save '" + name +
                                               "': it is reached through a link that belongs "
                                               "to another user ('" +
                                               link + "')");
        EXPECT_EQ(fileRows(table), (std::vector<std::string>{"a 1 1 1 0"}));
    }
    // The player's own link, and root's, are followed.
    EXPECT_EQ(asNobody([&] {
                  Game own(folder.path);
                  return outcome(own.store, record("own", 9000));
              }),
              "saved");
    ASSERT_EQ(lchown(folder.path.c_str(), 0, 0), 0);
    EXPECT_EQ(asNobody([&] {
                  Game game(folder.path);
                  return outcome(game.store, record("root's", 9500));
              }),
              "saved");
    EXPECT_EQ(fileRows(table).front(), "root's 9500 0 0 9500");
}

// Records that another game saved after this one loaded the table are kept, and shown.
TEST(HiScoreStoreSave, AnotherGamesRecordsAreKeptAndShown) {
    Folder folder;
    Game alice(folder.path), bob(folder.path);
    alice.store.load();
    bob.store.load();
    ASSERT_EQ(alice.store.save(record("alice", 5000)), SaveResult::Saved);
    ASSERT_EQ(bob.store.save(record("bob", 4000)), SaveResult::Saved);
    EXPECT_EQ(rows(bob.store.table()), fileRows(folder.path));
    EXPECT_EQ(fileRows(folder.path)[0], "alice 5000 0 0 5000");
    EXPECT_EQ(fileRows(folder.path)[1], "bob 4000 0 0 4000");

    // A record that ranks in the table loaded before need not rank in the one on disk.
    for (int i = 0; i < 8; ++i)
        ASSERT_EQ(alice.store.save(record("x", 9000 + i)), SaveResult::Saved);
    const std::string before = readFile(folder.path);
    bob.out();
    ASSERT_EQ(bob.store.table().rank(record("late", 4500)), 1);
    EXPECT_EQ(bob.store.save(record("late", 4500)), SaveResult::NotRanked);
    EXPECT_EQ(bob.store.saveNotice(), "Your record no longer ranks: other games saved better "
                                      "ones in '" +
                                          folder.path + "' meanwhile.");
    EXPECT_EQ(bob.out(), bob.store.saveNotice() + "\n");
    EXPECT_EQ(readFile(folder.path), before);
    EXPECT_EQ(rows(bob.store.table()), fileRows(folder.path));
}

// The lock file stays: a save that removed or renamed it could let a third game in.
TEST(HiScoreStoreSave, ALockHeldByAnotherGameRefusesTheSaveForAMoment) {
    Folder folder;
    Game game(folder.path);
    game.store.lockWait = std::chrono::milliseconds(100);
    const FileDescriptor lock(open((folder.path + ".lock").c_str(), O_RDONLY | O_CREAT, 0644));
    ASSERT_EQ(flock(lock.get(), LOCK_EX), 0);
    EXPECT_EQ(game.store.save(record("a", 5000)), SaveResult::Refused);
    EXPECT_EQ(game.store.saveNotice(),
              "Can't save '" + folder.path + "': another game is saving it at this moment");
    EXPECT_FALSE(fs::exists(folder.path));
    ASSERT_EQ(flock(lock.get(), LOCK_UN), 0);
    EXPECT_EQ(game.store.save(record("a", 5000)), SaveResult::Saved);
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"hiscore.xml", "hiscore.xml.lock"}));
}

// Only a killed save leaves its temporary file: the next one removes it, and nothing else.
TEST(HiScoreStoreSave, TemporaryFilesOfKilledSavesAreRemovedAndNothingElse) {
    Folder folder;
    const std::vector<std::string> others = {"hiscore.xml.12345.tmp", "hiscore.xml.tmp.xml",
                                             "hiscore.xml.x-y_z0.tmp", "other.xml.Ab12Z9.tmp"};
    for (const std::string& name : others)
        writeFile(folder.dir / name, "");
    writeFile(folder.dir / "hiscore.xml.Ab12Z9.tmp", "");
    fs::create_directory(folder.dir / "hiscore.xml.folder.tmp");
    Game game(folder.path);
    ASSERT_EQ(game.store.save(record("a", 5000)), SaveResult::Saved);
    std::vector<std::string> expected = others;
    expected.insert(expected.end(), {"hiscore.xml", "hiscore.xml.folder.tmp", "hiscore.xml.lock"});
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(folder.names(), expected);
}

// Root saving into a player's table, or into one shared with a group, must not take it over,
// not even when a damaged one is replaced.
TEST(HiScoreStoreSave, TheFileKeepsItsOwnerGroupAndMode) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another user";
    const gid_t games = 60;
    for (const auto& [content, owner, group, mode] :
         {std::tuple{tableFile(""), nobody, nogroup, 0640},
          {tableFile(""), 0u, games, 0660},
          {std::string("damaged"), nobody, nogroup, 0600}}) {
        SCOPED_TRACE(content);
        Folder folder;
        writeFile(folder.path, content);
        ASSERT_EQ(chown(folder.path.c_str(), owner, group), 0);
        ASSERT_EQ(chmod(folder.path.c_str(), static_cast<mode_t>(mode)), 0);
        Game game(folder.path);
        game.store.load();
        ASSERT_EQ(game.store.save(record("root", 5000)), SaveResult::Saved);
        const struct stat info = statOf(folder.path);
        EXPECT_EQ(info.st_uid, owner);
        EXPECT_EQ(info.st_gid, group);
        EXPECT_EQ(info.st_mode & 07777, static_cast<mode_t>(mode));
    }
}

// A player's game cannot keep another user's ownership on a new file, so it leaves such a
// file alone, damaged or not, and says why; a folder it may not write refuses the save too.
TEST(HiScoreStoreSave, APlayerLeavesAnotherUsersFileAlone) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can become another user";
    for (const std::string& content : {tableFile(item("a", "1", "1", "1")), std::string("bad")}) {
        Folder folder;
        writeFile(folder.path, content);
        fs::permissions(folder.path, fs::perms(0666));
        EXPECT_EQ(asNobody([&] {
                      Game game(folder.path);
                      game.store.load();
                      const std::string report = outcome(game.store, record("nobody", 9000));
                      return report.find("belongs to another user") != std::string::npos
                                 ? std::string()
                                 : report;
                  }),
                  "");
        EXPECT_EQ(readFile(folder.path), content);
        EXPECT_EQ(folder.names(), (std::vector<std::string>{"hiscore.xml", "hiscore.xml.lock"}));
    }
    Folder folder;
    fs::permissions(folder.dir, fs::perms(0555));
    EXPECT_EQ(asNobody([&] {
                  Game game(folder.path);
                  return outcome(game.store, record("nobody", 9000));
              }),
              "refused: Can't save '" + folder.path + "': can't open the lock file '" +
                  folder.path + ".lock': Permission denied");
}

// A damaged table its owner made read-only stays where it is, for root as for a player.
TEST(HiScoreStoreSave, ADamagedReadOnlyTableStays) {
    const auto scenario = [](const std::string& path) {
        writeFile(path, "damaged");
        fs::permissions(path, fs::perms(0444));
        Game game(path);
        game.store.load();
        const std::string out = game.out();
        std::string report = outcome(game.store, record("a", 9000));
        if (out.find("The game leaves it as it is: the file is read-only.\n") == std::string::npos)
            report += " / " + out;
        if (readFile(path) != "damaged" || fs::status(path).permissions() != fs::perms(0444) ||
            rows(game.store.table()).front() != "a 9000 0 0 9000")
            report += " / the file or the table changed";
        return report;
    };
    Folder folder;
    EXPECT_EQ(scenario(folder.path), "refused: Can't save '" + folder.path +
                                         "': it is damaged, and the file is read-only");
    fs::remove(folder.path);
    if (geteuid() == 0) {
        EXPECT_EQ(asNobody([&] { return scenario(folder.path); }),
                  "refused: Can't save '" + folder.path +
                      "': it is damaged, and the file is read-only");
    }
}

// Two games start on one damaged file. The one that waits for the lock while the other sets
// the file aside, or while the other puts a table in its place, reads it again before it
// moves anything: it goes on with what is there now, without a false alarm.
TEST(HiScoreStoreRace, ADamagedFileIsReadAgainUnderTheLock) {
    for (const std::string& meanwhile : {std::string(), tableFile(item("good", "1", "1", "1"))}) {
        SCOPED_TRACE(meanwhile);
        Folder folder;
        writeFile(folder.path, "damaged");
        const std::string lockFile = folder.path + ".lock";
        const FileDescriptor lock(open(lockFile.c_str(), O_RDONLY | O_CREAT, 0644));
        ASSERT_EQ(flock(lock.get(), LOCK_EX), 0);
        int report[2];
        ASSERT_EQ(pipe(report), 0);
        const pid_t child = fork();
        if (child == 0) {
            Game game(folder.path);
            game.store.lockWait = std::chrono::minutes(1);
            game.store.load();
            const std::string out = game.out() + outcome(game.store, record("late", 9000));
            _exit(write(report[1], out.data(), out.size()) < 0);
        }
        close(report[1]);
        // Once the child has the lock file open, it has read the damaged file and waits.
        const auto waiting = [&] {
            for (const auto& fd : fs::directory_iterator("/proc/" + std::to_string(child) + "/fd"))
                if (fs::read_symlink(fd.path()) == lockFile)
                    return true;
            return false;
        };
        for (int tries = 0; tries < 60000 && !waiting(); ++tries)
            usleep(1000);
        if (meanwhile.empty())
            fs::rename(folder.path, folder.path + ".bad");
        else
            writeFile(folder.path, meanwhile);
        flock(lock.get(), LOCK_UN);
        std::string out(4096, '\0');
        out.resize(std::max<ssize_t>(0, read(report[0], out.data(), out.size())));
        close(report[0]);
        waitpid(child, nullptr, 0);
        EXPECT_EQ(out, (meanwhile.empty() ? "Hiscore node is not SEQ.\n" + loadMessage(folder.path)
                                          : std::string()) +
                           "saved");
        EXPECT_EQ(fs::exists(folder.path + ".bad"), meanwhile.empty());
        EXPECT_EQ(fileRows(folder.path).back(),
                  meanwhile.empty() ? ".Orlan. 1300 600 7 1830" : "good 1 1 1 0");
    }
}

// Two games save a record each at the same moment, 300 times, each into the table it loaded
// at start: every time the file is whole and holds the best eight of all records so far.
TEST(HiScoreStoreRace, TwoGamesSavingAtOnceLoseNoRecord) {
    Folder folder;
    writeFile(folder.path, tableFile(""));
    Game first(folder.path), second(folder.path);
    first.store.load();
    second.store.load();
    // Both rank at once in every round, but now and then the second game's does not.
    const auto recordOf = [](int player, int round) {
        const int total = player == 1 && round % 7 == 3 ? 1 : 1000 + 20 * round + 10 * player;
        return record("p" + std::to_string(player) + "." + std::to_string(round), total);
    };
    TwoGames games([&](int player, int round) {
        return outcome((player == 0 ? first : second).store, recordOf(player, round));
    });
    HiScore best;
    best.clear();
    best.setMaxEntries(HiScoreStore::tableSize);
    for (int round = 0; round < 300; ++round) {
        const std::array<std::string, 2> reports = games.run(round);
        for (int player = 0; player < 2; ++player) {
            const int rank = best.insert(recordOf(player, round), false);
            ASSERT_EQ(reports[player], rank < 0 ? "not ranked\n" : "saved\n")
                << "round " << round << ", game " << player;
        }
        ASSERT_EQ(fileRows(folder.path), rows(best)) << "round " << round;
    }
}

// A game killed anywhere in a save leaves the old table or the new one, never a damaged one,
// and no stale lock: the next save goes through and tidies up.
TEST(HiScoreStoreRace, ASaveKilledAnywhereLeavesALoadableTable) {
    Folder folder;
    std::mt19937 random(22);
    for (int round = 0; round < 30; ++round) {
        const pid_t child = fork();
        if (child == 0) {
            Game game(folder.path);
            for (int total = 1000;; ++total)
                game.store.save(record("k", total));
        }
        usleep(std::uniform_int_distribution<useconds_t>(1000, 20000)(random));
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        if (fs::exists(folder.path)) {
            ASSERT_EQ(fileRows(folder.path).size(), 8u) << "kill " << round;
        }
    }
    Game game(folder.path);
    game.store.load();
    EXPECT_EQ(game.out(), "");
    EXPECT_EQ(game.store.save(record("last", 1 << 30)), SaveResult::Saved);
    EXPECT_EQ(folder.names(), (std::vector<std::string>{"hiscore.xml", "hiscore.xml.lock"}));
}
