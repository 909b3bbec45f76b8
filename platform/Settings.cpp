#include "platform/Settings.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <optional>

#include <nlohmann/json.hpp>

#include "platform/FileManager.h"
#include "platform/Log.h"

namespace platform {

namespace {

std::string folderOf(const std::string& path) {
    auto slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

}   // namespace

struct Settings::Document {
    nlohmann::ordered_json json = nlohmann::ordered_json::object();

    const nlohmann::ordered_json* find(const std::string& section, const std::string& key) const {
        auto s = json.find(section);
        if (s == json.end() || !s->is_object()) return nullptr;
        auto k = s->find(key);
        return k == s->end() ? nullptr : &*k;
    }

    nlohmann::ordered_json& slot(const std::string& section, const std::string& key) {
        nlohmann::ordered_json& s = json[section];
        if (!s.is_object()) s = nlohmann::ordered_json::object();   // a section of another type is replaced
        return s[key];
    }
};

Settings::Settings(std::string path) : path_(std::move(path)), doc_(std::make_unique<Document>()) {}

Settings::~Settings() = default;

std::string Settings::configDirectory() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg && xdg[0] == '/') return stringByAppendingPathComponent(xdg, "plumbrick");
    std::string home = "/";
    if (const char* h = std::getenv("HOME"); h && h[0])
        home = h;
    else if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir)
        home = pw->pw_dir;
    return stringByAppendingPathComponent(home, ".config/plumbrick");
}

std::string Settings::defaultPath() { return stringByAppendingPathComponent(configDirectory(), "settings.json"); }

bool Settings::load() {
    doc_->json = nlohmann::ordered_json::object();
    FileManager& files = FileManager::defaultManager();
    std::string folder = folderOf(path_);
    if (files.fileExistsAtPath(folder)) files.removeStaleTemporaries(folder);
    if (!files.fileExistsAtPath(path_)) return false;
    std::optional<Bytes> bytes = files.dataWithContentsOfFile(path_, kMaxBytes + 1);
    std::string problem;
    if (!bytes)
        problem = "cannot be read";
    else if (bytes->size() > kMaxBytes)
        problem = "is too large";
    if (problem.empty()) {
        nlohmann::ordered_json doc = nlohmann::ordered_json::parse(bytes->begin(), bytes->end(), nullptr, false);
        if (doc.is_discarded())
            problem = "is not JSON";
        else if (!doc.is_object())
            problem = "is not a JSON object";
        else
            doc_->json = std::move(doc);
    }
    if (!problem.empty()) {
        logLine("settings: " + path_ + " " + problem + "; using the defaults, and writing it anew on the next change");
        return false;
    }
    return true;
}

bool Settings::save() {
    FileManager& files = FileManager::defaultManager();
    std::string error;
    if (!files.createDirectoryAtPath(folderOf(path_))) error = "cannot make the folder";
    std::string text = doc_->json.dump(2) + "\n";
    if (error.empty() && files.writeToFileAtomically(path_, Bytes(text.begin(), text.end()), &error)) return true;
    logLine("settings: cannot save " + path_ + " (" + error + ")");
    return false;
}

bool Settings::has(const std::string& section, const std::string& key) const {
    return doc_->find(section, key) != nullptr;
}

bool Settings::getBool(const std::string& section, const std::string& key, bool fallback) const {
    const nlohmann::ordered_json* v = doc_->find(section, key);
    return v && v->is_boolean() ? v->get<bool>() : fallback;
}

int Settings::getInt(const std::string& section, const std::string& key, int fallback, int min, int max) const {
    const nlohmann::ordered_json* v = doc_->find(section, key);
    if (!v || !v->is_number_integer()) return fallback;
    long long n = v->get<long long>();
    return n >= min && n <= max ? static_cast<int>(n) : fallback;
}

void Settings::set(const std::string& section, const std::string& key, bool value) { doc_->slot(section, key) = value; }
void Settings::set(const std::string& section, const std::string& key, int value) { doc_->slot(section, key) = value; }

void Settings::remove(const std::string& section, const std::string& key) {
    auto s = doc_->json.find(section);
    if (s != doc_->json.end() && s->is_object()) s->erase(key);
}

}   // namespace platform
