#include "hiscore/HiScoreStore.hpp"

#include "HiScoreTestSupport.hpp"
#include "files/FileDescriptor.hpp"
#include "hiscore/HiScoreXml.hpp"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <random>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/types.h>

namespace fs = std::filesystem;
using SaveResult = HiScoreStore::SaveResult;

namespace {

// A game's store of the file, with its console; loaded as at the game's start, unless asked.
enum Start { Loaded, Unloaded };
struct Game {
    explicit Game(const std::string& path, Start start = Loaded,
                  std::chrono::milliseconds lockWait = std::chrono::seconds(1))
        : store(path, nullptr, console, lockWait) {
        if (start == Loaded)
            store.load();
    }
    std::string out() { return std::exchange(console, std::ostringstream()).str(); }
    std::ostringstream console;
    HiScoreStore store;
};

HiScoreEntry record(const std::string& name, int total) {
    return HiScoreEntry(name, 0, total, 0);
}

// "saved", "not ranked", or "refused: " and the notice.
std::string outcome(HiScoreStore& store, const HiScoreEntry& entry) {
    const SaveResult result = store.save(entry);
    if (result == SaveResult::Refused)
        return "refused: " + store.saveNotice();
    return result == SaveResult::Saved ? "saved" : "not ranked";
}

// The outcome of a game that starts on the file and saves the record.
std::string save(const std::string& path, const HiScoreEntry& entry) {
    Game game(path);
    return outcome(game.store, entry);
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

const std::vector<std::string> builtInRows = rows(Game("", Unloaded).store.table());

std::string loadMessage(const std::string& path) {
    return "Can't load '" + path + "'. Setting HISCOREs to defaults..\n";
}

} // namespace

// Damaged files (the library's reader crashed, aborted or hung on the first ones; a hang
// would time the test out) are set aside under the first free name, never over a file kept
// before; the fuzzer's finds either are, or load and take a record.
TEST(HiScoreStoreLoad, EveryTestFileIsSetAsideOrLoadsAgain) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& found : fs::directory_iterator(DRAVOLT_TEST_DATA "/hiscore"))
        files.emplace_back(found.path().filename(), readFile(found.path()));
    // This one passes the check but makes the library throw.
    files.emplace_back("unclosed quote", tableFile("<_><player><name>\"open</name></player></_>"));
    for (const auto& [name, bytes] : files) {
        SCOPED_TRACE(name);
        Folder folder;
        writeFile(folder.path + ".bad", "an older damaged file");
        writeFile(folder.path, bytes);
        Game game(folder.path);
        const std::string out = game.out();
        if (name.rfind("fuzz_", 0) == 0) {
            EXPECT_EQ(game.store.save(record("new", 1 << 30)), SaveResult::Saved) << out;
            EXPECT_EQ(fileRows(folder.path).front(), "new 1073741824 0 0 1073741824");
            continue;
        }
        EXPECT_EQ(out.rfind("'" + folder.path + "' is damaged: ", 0), 0u) << out;
        EXPECT_NE(
            out.find("\nMoved it to '" + folder.path + ".bad.1'.\n" + loadMessage(folder.path)),
            std::string::npos)
            << out;
        EXPECT_EQ(folder.names(),
                  (std::vector<std::string>{"hiscore.xml.bad", "hiscore.xml.bad.1",
                                            "hiscore.xml.lock", "hiscore.xml.queue"}));
        EXPECT_EQ(readFile(folder.path + ".bad.1"), bytes);
    }
}

// A refused save leaves the file as it was, keeps the record in the table for this run, and
// says why on the console and in the notice for the start screen. A lock another game holds
// refuses it only for a moment.
TEST(HiScoreStoreSave, RefusalSaysWhyAndChangesNothing) {
    Folder folder;
    writeFile(folder.path + ".lock", "");
    writeFile(folder.path + ".queue", "");
    Game game(folder.path, Loaded, std::chrono::milliseconds(100));
    EXPECT_EQ(game.out(), "Hiscore node is not SEQ.\n" + loadMessage(folder.path));
    const auto refused = [&](const std::string& why) {
        const std::string before = readFile(folder.path);
        EXPECT_EQ(game.store.save(record("record", 9000)), SaveResult::Refused);
        EXPECT_EQ(game.store.saveNotice(), "Can't save '" + folder.path + "': " + why);
        EXPECT_EQ(game.out(), game.store.saveNotice() + "\n");
        EXPECT_EQ(readFile(folder.path), before);
        EXPECT_EQ(folder.names().size(), 3u) << "no temporary file is left";
        EXPECT_EQ(game.store.table().entries().front().name, "record");
    };
    // The owner's write bit decides, whatever the group and others may do; a file without
    // the owner's read bit is not read, so nothing in it can be lost.
    writeFile(folder.path, tableFile(item("a", "1", "1", "1")));
    fs::permissions(folder.path, fs::perms(0444));
    refused("the file is read-only");
    fs::permissions(folder.path, fs::perms(0277));
    refused("the game can't read it (Permission denied)");
    fs::permissions(folder.path, fs::perms(0600));
    {
        const FileDescriptor lock(open((folder.path + ".lock").c_str(), O_RDONLY));
        EXPECT_EQ(flock(lock.get(), LOCK_EX), 0);
        refused("another game is saving it at this moment");
    }
    // Once it can be read and the lock is free, the record is merged.
    EXPECT_EQ(game.store.save(record("later", 9000)), SaveResult::Saved);
    EXPECT_EQ(fileRows(folder.path).back(), "a 1 1 1 0");
}

// Root saving into a player's table, or into one shared with a group, must not take it over,
// nor when a damaged one is replaced. A file the game could not give back to its owner (another
// user's, for a player) or that its owner froze (read-only and damaged) stays as it is, and the
// save says why: for a player (nobody) as for root.
TEST(HiScoreStoreSave, TheFileKeepsItsOwnerGroupAndModeOrStaysAsItIs) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another user and become one";
    const std::string table = tableFile(item("a", "1", "1", "1"));
    const gid_t games = 60;
    for (const auto& [content, owner, group, mode, asNobody, why] :
         {std::tuple{table, nobody, nogroup, 0640, false, std::string()},
          {table, 0u, games, 0604, false, ""},
          {"damaged", nobody, nogroup, 0600, false, ""},
          {table, 0u, 0u, 0666, true, "the file belongs to another user"},
          {"bad", 0u, 0u, 0666, true, "it is damaged, and the file belongs to another user"},
          {"bad", nobody, nobody, 0444, true, "it is damaged, and the file is read-only"},
          {"bad", 0u, 0u, 0444, false, "it is damaged, and the file is read-only"}}) {
        SCOPED_TRACE(content + why);
        Folder folder;
        writeFile(folder.path, content);
        ASSERT_EQ(chown(folder.path.c_str(), owner, group), 0);
        ASSERT_EQ(chmod(folder.path.c_str(), static_cast<mode_t>(mode)), 0);
        EXPECT_EQ(Child([&] { return save(folder.path, record("a", 9000)); },
                        asNobody ? std::optional(nobody) : std::nullopt)
                      .result(),
                  why.empty() ? "saved" : "refused: Can't save '" + folder.path + "': " + why);
        struct stat info = {};
        lstat(folder.path.c_str(), &info);
        EXPECT_EQ(std::tuple(info.st_uid, info.st_gid, info.st_mode & 07777),
                  std::tuple(owner, group, static_cast<mode_t>(mode)));
        if (!why.empty()) {
            EXPECT_EQ(readFile(folder.path), content);
            EXPECT_EQ(folder.names(), (std::vector<std::string>{"hiscore.xml", "hiscore.xml.lock",
                                                                "hiscore.xml.queue"}));
        }
    }
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
        EXPECT_EQ(rows(game.store.table()), builtInRows);
        EXPECT_EQ(game.store.save(record("record", 9000)), SaveResult::Refused);
        EXPECT_EQ(game.store.saveNotice(),
                  "Can't save '" + folder.path + "': it links to a file that is not a table");
        EXPECT_EQ(fs::read_symlink(folder.path), "other/notes.txt");
        EXPECT_EQ(readFile(folder.dir / "other/notes.txt"), notes);
        EXPECT_EQ(namesIn(folder.dir / "other"), std::vector<std::string>{"notes.txt"});
    }
    // A folder on the way may be a link (a home on another disk): its files are the game's.
    Folder folder;
    fs::create_directory(folder.dir / "real");
    fs::create_symlink("real", folder.dir / "home");
    writeFile(folder.dir / "real/hiscore.xml", "damaged");
    EXPECT_EQ(save(folder.dir / "home/hiscore.xml", record("a", 9000)), "saved");
    EXPECT_TRUE(fs::exists(folder.dir / "real/hiscore.xml.bad"));
}

// A damaged table in a folder reached through another user's link may be anybody's file:
// the game leaves it as it is, and plays with the built-in table.
TEST(HiScoreStoreLinks, ADamagedTableBehindAnotherUsersLinkStaysWhereItIs) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a link to another user";
    Folder folder;
    fs::create_directory(folder.dir / "real");
    writeFile(folder.dir / "real/hiscore.xml", "damaged");
    const std::string link = folder.dir / "home";
    fs::create_directory_symlink("real", link);
    ASSERT_EQ(lchown(link.c_str(), nobody, nogroup), 0);
    Game game(link + "/hiscore.xml");
    EXPECT_EQ(game.out(), "'" + link +
                              "/hiscore.xml' is damaged: it does not begin with <?xml "
                              "version=\"1.0\"?>\nThe game leaves it as it is: it is "
                              "reached through a link that belongs to another user ('" +
                              link + "').\n" + loadMessage(link + "/hiscore.xml"));
    EXPECT_EQ(namesIn(folder.dir / "real"), std::vector<std::string>{"hiscore.xml"});
}

// Anyone who can write a folder on the way could point a link at the player's files; root's
// links are the system's.
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
        EXPECT_EQ(save(name, record("root", 9000)),
                  "refused: Can't save '" + name +
                      "': it is reached through a link that belongs to another user ('" + link +
                      "')");
        EXPECT_EQ(fileRows(table), (std::vector<std::string>{"a 1 1 1 0"}));
    }
    ASSERT_EQ(lchown(folder.path.c_str(), 0, 0), 0);
    EXPECT_EQ(Child([&] { return save(folder.path, record("root's", 9500)); }, nobody).result(),
              "saved");
}

// Two games start on one damaged file. The one that waits for the lock while the other sets
// the file aside, or puts a table in its place, reads it again before it moves anything: it
// goes on with what is there now, without a false alarm.
TEST(HiScoreStoreRace, ADamagedFileIsReadAgainUnderTheLock) {
    for (const std::string& meanwhile : {std::string(), tableFile(item("good", "1", "1", "1"))}) {
        SCOPED_TRACE(meanwhile);
        Folder folder;
        writeFile(folder.path, "damaged");
        const std::string lockFile = folder.path + ".lock";
        const FileDescriptor lock(open(lockFile.c_str(), O_RDONLY | O_CREAT, 0644));
        ASSERT_EQ(flock(lock.get(), LOCK_EX), 0);
        Child late([&] {
            Game game(folder.path, Loaded, std::chrono::minutes(1));
            return game.out() + rows(game.store.table()).back();
        });
        // Once the child has the lock file open (besides the descriptor it was born with), it
        // has read the damaged file and waits.
        const auto waiting = [&] {
            int open = 0;
            std::error_code gone; // a descriptor may close while the list is read
            const fs::path list = "/proc/" + std::to_string(late.pid) + "/fd";
            for (fs::directory_iterator fd(list, gone), end; fd != end; fd.increment(gone))
                open += fs::read_symlink(fd->path(), gone) == lockFile;
            return open == 2;
        };
        for (int tries = 0; tries < 60000 && !waiting(); ++tries)
            usleep(1000);
        if (meanwhile.empty())
            fs::rename(folder.path, folder.path + ".bad");
        else
            writeFile(folder.path, meanwhile);
        flock(lock.get(), LOCK_UN);
        EXPECT_EQ(late.result(),
                  meanwhile.empty()
                      ? "Hiscore node is not SEQ.\n" + loadMessage(folder.path) + builtInRows.back()
                      : "good 1 1 1 0");
        EXPECT_EQ(folder.names().size(), 3u) << "nothing else moved aside";
    }
}

// Two games save a record each at the same moment, 300 times, each into the table it loaded
// at start: every time the file is whole and holds the best eight of all records so far.
TEST(HiScoreStoreRace, TwoGamesSavingAtOnceLoseNoRecord) {
    Folder folder;
    writeFile(folder.path, tableFile(""));
    std::array<Game, 2> games = {Game(folder.path), Game(folder.path)};
    HiScore best;
    best.clear();
    best.setMaxEntries(HiScoreStore::tableSize);
    for (int round = 0; round < 300; ++round) {
        // Both rank in every round, but now and then the second game's does not.
        const std::array<HiScoreEntry, 2> records = {
            record("a" + std::to_string(round), 1000 + 20 * round),
            record("b" + std::to_string(round), round % 7 == 3 ? 1 : 1010 + 20 * round)};
        int gate[2];
        ASSERT_EQ(pipe(gate), 0);
        std::vector<Child> savers;
        for (int i = 0; i < 2; ++i)
            savers.emplace_back([&, i] { return outcome(games[i].store, records[i]); },
                                std::nullopt, gate);
        close(gate[1]);
        close(gate[0]);
        for (int i = 0; i < 2; ++i) {
            const bool ranks = best.insert(records[i], false) >= 0;
            ASSERT_EQ(savers[i].result(), ranks ? "saved" : "not ranked") << records[i].name;
        }
        ASSERT_EQ(fileRows(folder.path), rows(best)) << "round " << round;
    }
}

// A game killed anywhere in a save leaves the old table or the new one, never a damaged one,
// and no stale lock: the next save goes through and removes the temporary files the killed
// saves left, and nothing else: not a file a person named alike, nor another user's (root
// leaves it too); the lock file stays, or a game waiting on it could lose it to a third.
TEST(HiScoreStoreRace, ASaveKilledAnywhereLeavesALoadableTable) {
    Folder folder;
    std::vector<std::string> names = {
        "hiscore.xml.12345.tmp",          "hiscore.xml.backup.tmp",
        "hiscore.xml.Ab12Z9.tmp",         "hiscore.xml.dravolt-tmp.Ab12Z",
        "hiscore.xml.dravolt-tmp.a-b_c.", "other.xml.dravolt-tmp.Ab12Z9"};
    for (const std::string& name : names)
        writeFile(folder.dir / name, "");
    if (geteuid() == 0) {
        names.push_back("hiscore.xml.dravolt-tmp.nobody");
        writeFile(folder.dir / names.back(), "");
        ASSERT_EQ(chown((folder.dir / names.back()).c_str(), nobody, nogroup), 0);
    }
    writeFile(folder.dir / "hiscore.xml.dravolt-tmp.Ab12Z9", ""); // as a killed save leaves it
    std::mt19937 random(22);
    for (int round = 0; round < 30; ++round) {
        Child saver([&] {
            Game game(folder.path, Unloaded);
            for (int total = 1000;; ++total)
                game.store.save(record("k", total));
            return std::string();
        });
        usleep(std::uniform_int_distribution<useconds_t>(1000, 20000)(random));
        kill(saver.pid, SIGKILL);
        saver.result();
        if (fs::exists(folder.path)) {
            ASSERT_EQ(fileRows(folder.path).size(), 8u) << "round " << round;
        }
    }
    EXPECT_EQ(save(folder.path, record("last", 1 << 30)), "saved");
    names.insert(names.end(), {"hiscore.xml", "hiscore.xml.lock", "hiscore.xml.queue"});
    std::sort(names.begin(), names.end());
    EXPECT_EQ(folder.names(), names);
}

// A pipe planted under the lock's name would block its open for good, and with it the frame
// loop: the save, and the setting aside of a damaged table at start, are refused at once.
TEST(HiScoreStoreLock, APipeUnderTheLocksNameIsRefusedWithoutWaiting) {
    Folder folder;
    ASSERT_EQ(mkfifo((folder.path + ".lock").c_str(), 0666), 0);
    writeFile(folder.path, "damaged");
    // A regression would block: the child then ends by its alarm, not by hanging the test.
    const std::string why = "its lock file '" + folder.path + ".lock' is not a regular file";
    EXPECT_EQ(Child([&] {
                  alarm(20);
                  Game game(folder.path);
                  return game.out() + outcome(game.store, record("a", 9000));
              }).result(),
              "'" + folder.path + "' is damaged: it does not begin with <?xml version=\"1.0\"?>\n" +
                  "Can't move it aside: " + why + "\n" + loadMessage(folder.path) + "Can't save '" +
                  folder.path + "': " + why + "\nrefused: Can't save '" + folder.path +
                  "': " + why);
    EXPECT_EQ(readFile(folder.path), "damaged");
}

// A record refused while the table was read-only is not lost when a later save of the same
// game goes through: both are in the file, and one that no longer ranks is not.
TEST(HiScoreStoreSave, ARefusedRecordIsSavedWithTheNextSaveThatWorks) {
    Folder folder;
    writeFile(folder.path, tableFile(""));
    Game game(folder.path);
    fs::permissions(folder.path, fs::perms(0444));
    EXPECT_EQ(outcome(game.store, record("refused", 5000)),
              "refused: Can't save '" + folder.path + "': the file is read-only");
    EXPECT_EQ(outcome(game.store, record("too", 4000)),
              "refused: Can't save '" + folder.path + "': the file is read-only");
    fs::permissions(folder.path, fs::perms(0644));
    EXPECT_EQ(outcome(game.store, record("later", 3000)), "saved");
    EXPECT_EQ(fileRows(folder.path),
              (std::vector<std::string>{"refused 5000 0 0 5000", "too 4000 0 0 4000",
                                        "later 3000 0 0 3000"}));
    EXPECT_EQ(rows(game.store.table()), fileRows(folder.path));
    // Saved once is saved: the next save does not bring them again.
    EXPECT_EQ(outcome(game.store, record("last", 100)), "saved");
    EXPECT_EQ(fileRows(folder.path).size(), 4u);
}

// Equal records keep the order in which they were saved, newest first, however often the
// table is loaded and saved again: ten games in a row, each saving the same result.
TEST(HiScoreStoreSave, EqualRecordsKeepTheirOrderNewestFirst) {
    Folder folder;
    for (int game = 1; game <= 10; ++game)
        ASSERT_EQ(save(folder.path, HiScoreEntry("t" + std::to_string(game), 5000, 5000, 0)),
                  "saved");
    std::vector<std::string> expected;
    for (int game = 10; game >= 3; --game)
        expected.push_back("t" + std::to_string(game) + " 5000 5000 0 10000");
    EXPECT_EQ(fileRows(folder.path), expected);
}

// The table that replaces a damaged one keeps its mode, owner and group, also when another
// game set it aside: they are taken from the newest file set aside, never from a file of
// another user's for a player.
TEST(HiScoreStoreSave, ATableThatReplacesADamagedOneKeepsItsAttributesInTheNextGame) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can give a file to another user and become one";
    const gid_t users = 100;
    Folder folder;
    writeFile(folder.path + ".bad", "an older damaged file, set aside before");
    usleep(20000); // the next one is set aside later
    writeFile(folder.path, "damaged");
    ASSERT_EQ(chown(folder.path.c_str(), nobody, users), 0);
    ASSERT_EQ(chmod(folder.path.c_str(), 0600), 0);
    const Game settingItAside(folder.path);
    ASSERT_TRUE(fs::exists(folder.path + ".bad.1"));
    EXPECT_EQ(save(folder.path, record("a", 9000)), "saved");
    struct stat info = {};
    lstat(folder.path.c_str(), &info);
    EXPECT_EQ(std::tuple(info.st_uid, info.st_gid, info.st_mode & 07777),
              std::tuple(nobody, users, mode_t(0600)));
    // A file of another user's that was set aside is no model for a player's new table.
    fs::remove(folder.path);
    ASSERT_EQ(chown((folder.path + ".bad.1").c_str(), stranger, stranger), 0);
    EXPECT_EQ(Child([&] { return save(folder.path, record("b", 9000)); }, nobody).result(),
              "saved");
    lstat(folder.path.c_str(), &info);
    EXPECT_EQ(std::tuple(info.st_uid, info.st_gid), std::tuple(nobody, nogroup));
}

// Four games save continuously into one table: each waits its turn in the lock's queue, and
// none is refused, though each holds the lock only for a few milliseconds at a time and takes
// it again at once. Every record is the newest so far when it is made, so it still ranks
// unless more than seven saves went before it meanwhile.
TEST(HiScoreStoreRace, FourGamesSavingContinuouslyAreNeverRefused) {
    Folder folder;
    writeFile(folder.path, tableFile(""));
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    const auto start = std::chrono::steady_clock::now();
    std::vector<Child> games;
    for (int i = 0; i < 4; ++i)
        games.emplace_back(
            [&, i] {
                Game game(folder.path, Unloaded);
                std::string refusals;
                for (int round = 0; round < 400; ++round) {
                    const auto age = std::chrono::duration_cast<std::chrono::microseconds>(
                        std::chrono::steady_clock::now() - start);
                    const std::string result =
                        outcome(game.store, record("g" + std::to_string(i), 1000 + age.count()));
                    if (result != "saved" && result != "not ranked")
                        refusals += "round " + std::to_string(round) + ": " + result + "\n";
                }
                return refusals;
            },
            std::nullopt, gate);
    close(gate[1]);
    close(gate[0]);
    for (Child& game : games)
        EXPECT_EQ(game.result(), "");
    EXPECT_EQ(fileRows(folder.path).size(), 8u);
}

// The player's scores lie in a folder that another user can write (XDG_DATA_HOME under /tmp).
// She swaps the player's folder there for her own link to the player's private table folder,
// over and over, while the player saves 300 times: a save goes into the folder it checked or
// is refused, and the private table never changes.
TEST(HiScoreStoreRace, AFolderSwappedForAnotherUsersLinkLeadsNoSaveAstray) {
    if (geteuid() != 0)
        GTEST_SKIP() << "only root can play two users";
    Folder folder;
    const fs::path shared = folder.dir / "shared";
    const fs::path xdg = shared / "xdg";
    const fs::path privateTable = folder.dir / "private/dravolt/hiscore.xml";
    fs::create_directories(xdg / "dravolt");
    fs::create_directories(privateTable.parent_path());
    fs::permissions(shared, fs::perms::all);
    writeFile(xdg / "dravolt/hiscore.xml", tableFile(""));
    writeFile(privateTable, tableFile(item("mine", "5", "5", "0")));
    const std::string kept = readFile(privateTable);
    for (const fs::path& path : {xdg, xdg / "dravolt", xdg / "dravolt/hiscore.xml",
                                 folder.dir / "private", privateTable.parent_path(), privateTable})
        ASSERT_EQ(chown(path.c_str(), nobody, nogroup), 0);
    fs::permissions(folder.dir / "private", fs::perms(0700));
    int gate[2];
    ASSERT_EQ(pipe(gate), 0);
    Child swapper(
        [&] {
            const fs::path link = shared / "link";
            fs::create_directory_symlink(folder.dir / "private", link);
            for (;;)
                renameat2(AT_FDCWD, xdg.c_str(), AT_FDCWD, link.c_str(), RENAME_EXCHANGE);
            return std::string();
        },
        stranger, gate);
    Child player(
        [&] {
            Game game((xdg / "dravolt/hiscore.xml").string(), Unloaded);
            std::string report;
            for (int round = 0; round < 300 && report.empty(); ++round) {
                game.store.save(record("r" + std::to_string(round), 1000 + round));
                if (readFile(privateTable) != kept)
                    report = "round " + std::to_string(round) + ": the private table changed";
            }
            return report;
        },
        nobody, gate);
    close(gate[1]);
    close(gate[0]);
    EXPECT_EQ(player.result(), "");
    kill(swapper.pid, SIGKILL);
    swapper.result();
    EXPECT_EQ(readFile(privateTable), kept);
    EXPECT_EQ(namesIn(privateTable.parent_path()), std::vector<std::string>{"hiscore.xml"});
}
