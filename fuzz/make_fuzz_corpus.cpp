// Writes the seed inputs of fuzz_plist_dictionary and fuzz_keyed_archive into <folder>/<target>/.
// Usage: make_fuzz_corpus fuzz/corpus

#include <cstdio>
#include <string>

#include <plist/plist.h>

#include "platform/KeyedArchive.h"
#include "platform/Plist.h"

using namespace platform;

namespace {

std::string root;

void save(const std::string& target, const std::string& name, const Bytes& bytes) {
    FileManager::defaultManager().createDirectoryAtPath(root + "/" + target);
    std::string error;
    if (!FileManager::defaultManager().writeToFileAtomically(root + "/" + target + "/" + name, bytes, &error))
        std::fprintf(stderr, "%s\n", error.c_str());
}

Bytes binaryOf(const Bytes& xml) {
    plist_t node = nullptr;
    plist_from_xml(reinterpret_cast<const char*>(xml.data()), static_cast<std::uint32_t>(xml.size()), &node);
    char* bin = nullptr;
    std::uint32_t len = 0;
    plist_to_bin(node, &bin, &len);
    Bytes out(bin, bin + len);
    plist_to_bin_free(bin);
    plist_free(node);
    return out;
}

PlistArray pack(double start, int time, int scores, int penalty) {
    return {Date{start}, Date{start + time}, time, scores, penalty, ""};
}

Bytes eggState() {
    KeyedArchiver a;
    a.encodeInt(100, "VersionSAVES");
    a.encodeInt(2, "typeGame");
    a.encodeInt(2, "state");
    a.encodeBool(true, "flagWolf");
    a.encodeInt(3, "penalty");
    a.encodeInt(157, "scores");
    a.encodeInt(4, "countEggToDeckMAX");
    a.encodeInt(1, "itemDeck");
    a.encodeInt(9, "SpeedEgg");
    a.encodeInt(12, "timePauseChangePositionEgg");
    a.encodeInt(40, "timeNextUpSpeedPause");
    a.encodeInt(150, "oldScoresChangeSpeed");
    a.encodeDouble(212.5, "timeGame");
    a.encodeDouble(1296741900.25, "timeStartGame");
    a.encodeInt(2, "wolf.posBasket");
    a.encodeInt(0, "hare.position");
    a.encodeInt(1, "hare.visible");
    a.encodeObject(Date{1296741900.25}, "gameround.dateStart");
    a.encodeBool(true, "displayAlfa");
    a.finishEncoding();
    return a.data();
}

Bytes cookState() {
    KeyedArchiver a;
    a.encodeInt(100, "VersionSAVES");
    a.encodeInt(1, "typeGame");
    a.encodeInt(2, "state");
    a.encodeBool(false, "_autoPilot_");
    a.encodeBool(true, "flagCookToss");
    a.encodeBool(false, "flagCookMove");
    a.encodeInt(1, "penalty");
    a.encodeInt(321, "scores");
    a.encodeDouble(88.0, "timeGame");
    a.encodeDouble(1300000000.5, "timeStartGame");
    for (const char* k : {"intervalNewRoundPause", "intervalCookFoodTossPause", "timerStepLifeFood",
                          "intervalSrealPause", "intervalCatHogPause"})
        a.encodeDouble(0.125, k);
    for (const char* k : {"stepNewRound", "stepCookFoodToss", "stepSteal", "stepCatHog", "oldScoresChangeSpeed",
                          "itemFood", "posStealFood"})
        a.encodeInt(-1, k);
    for (int i = 0; i < 4; ++i) {
        a.encodeInt(i, "posHeightFood_" + std::to_string(i));
        a.encodeInt(5 + i, "maxHeightFood_" + std::to_string(i));
    }
    a.encodeBool(true, "fork.hog");
    a.encodeInt(3, "cook.position");
    for (const char* k : {"timerNewRound", "timerCookFoodToss", "timerTossFood", "timerSteal", "timerCatHog"})
        a.encodeInt(1, k);
    a.encodeObject(std::nullopt, "gameround.dateStart");
    a.encodeBool(false, "displayAlfa");
    a.finishEncoding();
    return a.data();
}

}   // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_fuzz_corpus <corpus folder>\n");
        return 2;
    }
    root = argv[1];

    const std::string dict = "fuzz_plist_dictionary";
    PlistDictionary results{{"Yolkfall.v1", PlistArray{pack(1296741900, 100, 120, 3), pack(1296750000, 45, 80, 0)}},
                            {"Panflip.v1", PlistArray{pack(1300000000, 999, 999, 5)}}};
    Bytes resultsXml = xmlDataFromDictionary(results);
    save(dict, "results.xml", resultsXml);
    save(dict, "results.bplist", binaryOf(resultsXml));
    PlistDictionary kinds{{"true", true},
                          {"false", false},
                          {"real", -2.5},
                          {"min", INT64_MIN},
                          {"minus", -1},
                          {"text", "a&b<c> \xc3\xa9"},
                          {"nested", PlistDictionary{{"a", PlistArray{PlistArray{}}}}},
                          {"date", Date{946684800.5}}};
    kinds["data"].v = Bytes{0, 1, 2, 3, 255};
    Bytes kindsXml = xmlDataFromDictionary(kinds);
    save(dict, "kinds.xml", kindsXml);
    save(dict, "kinds.bplist", binaryOf(kindsXml));
    const std::string arrayRoot =
        "<?xml version=\"1.0\"?><plist version=\"1.0\"><array><integer>1</integer></array></plist>";
    save(dict, "array_root.xml", Bytes(arrayRoot.begin(), arrayRoot.end()));
    save(dict, "archive.bplist", eggState());

    const std::string archive = "fuzz_keyed_archive";
    save(archive, "egg.state", eggState());
    save(archive, "cook.state", cookState());
    KeyedArchiver empty;
    empty.finishEncoding();
    save(archive, "empty.state", empty.data());
    KeyedArchiver dates;
    dates.encodeObject(Date{0}, "k");
    dates.encodeObject(Date{-1e9 + 0.5}, "gameround.dateStart");
    dates.encodeInt(INT32_MIN, "scores");
    dates.finishEncoding();
    save(archive, "dates.state", dates.data());
    save(archive, "plain_dictionary.bplist", binaryOf(resultsXml));
    return 0;
}
