// A power cut in the middle of a save. kill -9 leaves the kernel's page cache, so it proves only that a save is
// atomic for the process; a power cut loses everything that was not synced. The file layer records the system
// calls of a save (create, write, sync, rename, folder sync); for every prefix of them, the folder is rebuilt as
// a crash at that point can leave it: file contents only as far as a sync of the file made them durable, and
// folder entries (creates, renames, removals) as far as the last sync of the folder, plus any first few of the
// later ones (a journal keeps them in order). In every such folder the saved file is the old one or the new one,
// whole, and so is what the program reads there at its next start.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "platform/FileManager.h"
#include "platform/headless/Headless.h"
#include "services/Support.h"
#include "services/VCGamesResult.h"
#include "tests/support/file_text.h"

using namespace plumbrick;
namespace fs = std::filesystem;

namespace {

using plumbrick::testing::readText;

// The folder as the disk holds it, replayed call by call.
class CrashModel {
public:
    using Entries = std::map<std::string, int>;   // name -> file
    explicit CrashModel(const fs::path& folder) : folder_(folder) {
        for (const auto& entry : fs::directory_iterator(folder)) {
            files_.push_back({readText(entry.path()), readText(entry.path())});
            volatile_[entry.path().filename()] = durable_[entry.path().filename()] = int(files_.size()) - 1;
        }
    }

    void apply(const platform::FileCall& call) {
        using platform::FileOp;
        if (call.op == FileOp::Sync && call.directory) {
            ASSERT_EQ(fs::path(call.path), folder_);
            durable_ = volatile_;
            pending_.clear();
            return;
        }
        if (call.op == FileOp::Open && !call.creates) return;   // a read, or the folder opened to sync it
        ASSERT_EQ(fs::path(call.path).parent_path(), folder_);
        const std::string name = fs::path(call.path).filename();
        switch (call.op) {
        case FileOp::Open:
            files_.push_back({});
            pending_.push_back({name, "", int(files_.size()) - 1});
            break;
        case FileOp::Write:
            files_[volatile_.at(name)].written += std::string(call.data.begin(), call.data.end());
            return;
        case FileOp::Sync: files_[volatile_.at(name)].synced = files_[volatile_.at(name)].written; return;
        case FileOp::Rename:
            ASSERT_EQ(fs::path(call.to).parent_path(), folder_);
            pending_.push_back({name, fs::path(call.to).filename(), -1});
            break;
        case FileOp::Remove: pending_.push_back({name, "", -2}); break;
        default: return;
        }
        step(volatile_, pending_.back());
    }

    // How many folder changes since the last sync of the folder a crash may keep, besides none.
    int pendingChanges() const { return int(pending_.size()); }

    // Writes into `to` the folder that a crash now leaves when the first `kept` pending folder changes survive.
    void crash(int kept, const fs::path& to) const {
        Entries entries = durable_;
        for (int i = 0; i < kept; ++i) step(entries, pending_[std::size_t(i)]);
        fs::create_directories(to);
        for (const auto& [name, file] : entries) std::ofstream(to / name, std::ios::binary) << files_[file].synced;
    }

private:
    struct File {
        std::string written, synced;
    };
    struct Change {
        std::string name, to;
        int file;   // >= 0 made, -1 renamed to `to`, -2 removed
    };
    static void step(Entries& entries, const Change& c) {
        if (c.file >= 0) {
            entries[c.name] = c.file;
        } else if (c.file == -1) {
            const int file = entries.at(c.name);
            entries.erase(c.name);
            entries[c.to] = file;
        } else {
            entries.erase(c.name);
        }
    }

    fs::path folder_;
    std::vector<File> files_;
    Entries durable_, volatile_;
    std::vector<Change> pending_;
};

class PowerCut : public ::testing::Test {
protected:
    platform::headless::Environment env;
    const fs::path folder = getPathFolderSaveGame();

    // Records the calls of `save`, then checks every crash it can be cut by: the file at `name` holds `old` or
    // what the save wrote, whole, and `reads` (the program's next start, reading the rebuilt folder) agrees.
    template <class Save, class Reads> void everyCrash(const std::string& name, Save save, Reads reads) {
        const std::string old = readText(folder / name);
        CrashModel model(folder);
        std::vector<platform::FileCall> calls;
        platform::FileFaults::shared().setRecorder([&](const platform::FileCall& call) { calls.push_back(call); });
        save();
        platform::FileFaults::shared().setRecorder(nullptr);
        const std::string written = readText(folder / name);
        ASSERT_NE(written, old);

        std::vector<platform::FileOp> ops;
        for (const auto& call : calls)
            if (call.op != platform::FileOp::Read &&
                !(call.op == platform::FileOp::Open && !call.creates && !call.directory))
                ops.push_back(call.op);
        using enum platform::FileOp;
        EXPECT_EQ(ops, (std::vector<platform::FileOp>{Open, Write, Sync, Rename, Open, Sync}))
            << "create, write, sync, rename, folder sync";

        int states = 0;
        for (std::size_t prefix = 0; prefix <= calls.size(); ++prefix) {
            if (prefix > 0) model.apply(calls[prefix - 1]);
            for (int kept = 0; kept <= model.pendingChanges(); ++kept) {
                SCOPED_TRACE("after " + std::to_string(prefix) + " calls, " + std::to_string(kept) +
                             " folder changes kept");
                const fs::path crashed = fs::path(env.documents()) / ("crash" + std::to_string(states++));
                model.crash(kept, crashed);
                const std::string found = readText(crashed / name);
                EXPECT_TRUE(found == old || found == written) << "a torn or lost file: " << found.size() << " bytes";
                EXPECT_EQ(reads(crashed), found == written);
                platform::FileManager::defaultManager().removeStaleTemporaries(crashed.string());
                EXPECT_EQ(std::distance(fs::directory_iterator(crashed), fs::directory_iterator()), 1)
                    << "only the file";
            }
        }
        EXPECT_GT(states, int(calls.size()) + 1) << "some crashes kept folder changes that were not synced";
    }
};

}   // namespace

TEST_F(PowerCut, AResultsSaveLeavesTheOldFileOrTheNewWhole) {
    VCGamesResult store("Yolkfall.v1");
    store.Load();
    store.NewGame();
    store.EndGame(10, 3, 0);
    env.advance(2);
    store.NewGame();
    // The next start reads the new list (two rounds) or the old one (one round); nothing else.
    everyCrash(
        "Tinmarsh.result", [&] { store.EndGame(20, 7, 1); },
        [](const fs::path& crashed) {
            VCGamesResult reader("Yolkfall.v1");
            reader.setPlaceOfStorage((crashed / "Tinmarsh.result").string());
            reader.Load();
            return reader.getArGamesResult()->size() == 2;
        });
}
