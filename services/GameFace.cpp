#include "services/GameFace.h"

#include <cmath>
#include <cstdint>
#include <exception>
#include <set>
#include <sstream>

#include "platform/FileManager.h"
#include "platform/Log.h"
#include "platform/SaveReports.h"
#include "services/Support.h"
#include "services/VCGameRound.h"
#include "services/VCGamesResult.h"

namespace plumbrick::game_face {

namespace {

using platform::ArchiveValueKind;

std::string quoted(const char* key) { return std::string("\"") + key + "\""; }

// State files whose round was restored in this run, or written by a checkpoint, and has not gone on yet.
std::set<std::string>& restoredFiles() {
    static std::set<std::string> paths;
    return paths;
}

void removeStateFile(const std::string& path) {
    std::string error;
    if (!platform::FileManager::defaultManager().removeFileAtPath(path, &error)) platform::logLine("ERROR: " + error);
}

}   // namespace

int wholeSeconds(double seconds) {
    if (!(seconds > -2147483648.0)) return seconds < 0 ? INT32_MIN : 0;   // NaN gives 0
    if (seconds >= 2147483647.0) return INT32_MAX;
    return static_cast<int>(std::trunc(seconds));
}

void setDisplayAlfa(platform::View& face, std::optional<std::vector<int>>& dimmed, bool flag) {
    if (flag) {
        if (dimmed) return;
        dimmed.emplace();
        for (const auto& sub : face.subviews()) {
            const int tag = sub->tag();
            if (!sub->isHidden() && tag >= 1 && tag <= 9999) {
                dimmed->push_back(tag);
                sub->setAlpha(kDimmedAlpha);
            }
        }
    } else {
        if (!dimmed) return;
        for (int tag : *dimmed)
            if (platform::View* v = face.viewWithTag(tag)) v->setAlpha(1.0);
        dimmed.reset();
    }
}

void moveDownByOwnHeight(platform::View* view) {
    if (!view) return;
    platform::Rect f = view->frame();
    f.origin.y += f.size.height;
    view->setFrame(f);
}

std::string pathStateFile(const std::string& gameId) {
    return getPathFolderSaveGame() + "/" + VCGamesResult::kFileName + "." + gameId + ".state";
}

bool saveStateFile(const std::string& path, const std::string& className,
                   const std::function<void(platform::KeyedArchiver&)>& encode) {
    platform::KeyedArchiver archiver;
    encode(archiver);
    archiver.finishEncoding();
    std::string error;
    if (!archiver.writeToFile(path, &error)) {
        platform::SaveReports::shared().failed("round", "ERROR " + className + ":saveStateGame: " + error,
                                               kRoundNotSavedNotice);
        return false;
    }
    platform::SaveReports::shared().succeeded("round");
    restoredFiles().erase(path);   // the file holds this save now, not the round restored from it
    return true;
}

void releaseStateFile(const std::string& path) {
    if (restoredFiles().erase(path) == 0) return;
    if (platform::FileManager::defaultManager().itemKindAtPath(path) == platform::FileManager::ItemKind::None) return;
    removeStateFile(path);
}

void holdStateFile(const std::string& path) { restoredFiles().insert(path); }

bool loadStateFile(const std::string& path, const std::string& className,
                   const std::function<bool(const platform::KeyedUnarchiver&)>& restore) {
    auto& files = platform::FileManager::defaultManager();
    const std::string prefix = "ERROR " + className + ":loadStateGame: ";
    switch (files.itemKindAtPath(path)) {
    case platform::FileManager::ItemKind::None: return true;
    case platform::FileManager::ItemKind::Other:
        // A folder (or a link, or anything else) in the file's place is not ours: it is neither read nor removed.
        platform::logLine(prefix + path + " is not a regular file; left alone");
        return true;
    case platform::FileManager::ItemKind::RegularFile: break;
    }

    try {
        const auto bytes = files.dataWithContentsOfFile(path);
        if (!bytes) throw StoredDataException(kLoadFileException, path);
        if (restore(*unarchive(*bytes))) {
            restoredFiles().insert(path);
            return true;
        }
    } catch (const StoredDataException& e) {
        platform::logLine(prefix + e.name() + ": " + e.reason());
    } catch (const MalformedPackError& e) {
        platform::logLine(prefix + "MalformedPackError: " + e.what());
    } catch (const std::exception& e) {
        platform::logLine(prefix + "Exception: " + e.what());
    }

    try {
        removeStateFile(path);
    } catch (const std::exception& e) {
        platform::logLine("ERROR " + className + ":loadStateGame: " + e.what());
        return false;
    }
    return true;
}

void badArchive(const std::string& what) {
    throw StoredDataException(kUnarchiverException, std::string(kBadArchive) + ": " + what);
}

std::unique_ptr<platform::KeyedUnarchiver> unarchive(const platform::Bytes& bytes) {
    auto unarchiver = platform::KeyedUnarchiver::initForReadingWithData(bytes);
    if (!unarchiver) throw StoredDataException(kUnarchiverException, kBadArchive);
    return unarchiver;
}

bool CheckedArchiveReader::hasVersion(const char* key, std::int32_t version) const {
    if (u_.kindForKey(key) != ArchiveValueKind::Integer) return false;
    const auto v = u_.decodeInt64ForKey(key);
    return v && *v == version;
}

std::int32_t CheckedArchiveReader::readInt(const char* key) const {
    if (u_.kindForKey(key) != ArchiveValueKind::Integer) badArchive(quoted(key) + " is missing or not an integer");
    const auto v = u_.decodeInt64ForKey(key);
    if (!v || *v < INT32_MIN || *v > INT32_MAX) badArchive(quoted(key) + " does not fit 32 bits");
    return static_cast<std::int32_t>(*v);
}

bool CheckedArchiveReader::readBool(const char* key) const {
    if (u_.kindForKey(key) != ArchiveValueKind::Bool) badArchive(quoted(key) + " is missing or not a boolean");
    return u_.decodeBoolForKey(key);
}

double CheckedArchiveReader::readDouble(const char* key) const {
    if (u_.kindForKey(key) != ArchiveValueKind::Real) badArchive(quoted(key) + " is missing or not a real number");
    return u_.decodeDoubleForKey(key);
}

platform::Date CheckedArchiveReader::readDate(const char* key) const {
    const auto d = u_.decodeObjectForKey(key);
    if (u_.kindForKey(key) != ArchiveValueKind::Date || !d) badArchive(quoted(key) + " is missing or not a date");
    if (!std::isfinite(d->timeIntervalSince1970)) badArchive(quoted(key) + " is not a finite date");
    return *d;
}

void checkRange(const char* key, std::int64_t value, std::int64_t lo, std::int64_t hi) {
    if (value >= lo && value <= hi) return;
    std::ostringstream s;
    s << quoted(key) << " is " << value << ", outside " << lo << " to " << hi;
    badArchive(s.str());
}

void checkOneOf(const char* key, std::int64_t value, const std::vector<std::int64_t>& allowed) {
    for (std::int64_t a : allowed)
        if (value == a) return;
    std::ostringstream s;
    s << quoted(key) << " is " << value << ", not one of";
    for (std::int64_t a : allowed) s << ' ' << a;
    badArchive(s.str());
}

void checkFinite(const char* key, double value, double lo, double hi) {
    if (std::isfinite(value) && value >= lo && value < hi) return;
    std::ostringstream s;
    s.precision(17);
    s << quoted(key) << " is " << value << ", not a finite number from " << lo << " below " << hi;
    badArchive(s.str());
}

void checkOneOfReal(const char* key, double value, const std::vector<double>& allowed) {
    for (double a : allowed)
        if (value == a) return;
    std::ostringstream s;
    s.precision(17);
    s << quoted(key) << " is " << value << ", not one of";
    for (double a : allowed) s << ' ' << a;
    badArchive(s.str());
}

void checkBool(const char* key, bool value, bool expected, const char* why) {
    if (value != expected) badArchive(quoted(key) + " is " + (value ? "true" : "false") + " " + why);
}

void checkDate(const char* key, const std::optional<platform::Date>& date) {
    if (!date || !std::isfinite(date->timeIntervalSince1970)) badArchive(quoted(key) + " is not a date");
}

}   // namespace plumbrick::game_face
