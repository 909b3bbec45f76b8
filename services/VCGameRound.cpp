#include "services/VCGameRound.h"

#include <cstdint>
#include <limits>

#include "platform/Log.h"

namespace plumbrick {

namespace {

const platform::PlistArray& packArray(const platform::PlistValue& pack) {
    const auto* array = pack.asArray();
    if (!array) throw MalformedPackError("pack is not an array");
    return *array;
}

const platform::PlistValue& element(const platform::PlistValue& pack, std::size_t index) {
    const auto& array = packArray(pack);
    if (array.size() != 6) throw MalformedPackError("pack has " + std::to_string(array.size()) + " elements, not 6");
    return array[index];
}

platform::Date dateAt(const platform::PlistValue& pack, std::size_t index) {
    const auto* date = element(pack, index).asDate();
    if (!date) throw MalformedPackError("pack element " + std::to_string(index) + " is not a date");
    return *date;
}

int integerAt(const platform::PlistValue& pack, std::size_t index) {
    const auto* value = element(pack, index).asInteger();
    if (!value) throw MalformedPackError("pack element " + std::to_string(index) + " is not an integer");
    if (*value < std::numeric_limits<std::int32_t>::min() || *value > std::numeric_limits<std::int32_t>::max())
        throw MalformedPackError("pack element " + std::to_string(index) + " is out of range");
    return int(*value);
}

const std::string& stringAt(const platform::PlistValue& pack, std::size_t index) {
    const auto* value = element(pack, index).asString();
    if (!value) throw MalformedPackError("pack element " + std::to_string(index) + " is not a string");
    return *value;
}

}   // namespace

VCGameRound::VCGameRound(platform::Date dateStart_, platform::Date dateEnd_, int time_, int scores_, int penalty_,
                         std::string name_)
    : dateStart(dateStart_),
      dateEnd(dateEnd_),
      time(time_),
      scores(scores_),
      penalty(penalty_),
      name(std::move(name_)) {}

std::unique_ptr<VCGameRound> VCGameRound::initWithPack(const platform::PlistValue& pack) {
    try {
        auto round = std::make_unique<VCGameRound>();
        round->setPack(pack);
        return round;
    } catch (const std::exception& e) {
        platform::NSLog("ERROR VCGamesResult:initWithPack: %s", e.what());
        return nullptr;
    }
}

platform::PlistValue VCGameRound::getPack() const {
    return platform::PlistArray{dateStart, dateEnd, time, scores, penalty, name};
}

void VCGameRound::setPack(const platform::PlistValue& pack) {
    // Read everything first, so that a malformed pack leaves the round as it was.
    const platform::Date start = dateAt(pack, 0);
    const platform::Date end = dateAt(pack, 1);
    const int t = integerAt(pack, 2);
    const int s = integerAt(pack, 3);
    const int p = integerAt(pack, 4);
    std::string n = stringAt(pack, 5);
    dateStart = start;
    dateEnd = end;
    time = t;
    scores = s;
    penalty = p;
    name = std::move(n);
}

void VCGameRound::checkPack(const platform::PlistValue& pack) {
    dateAt(pack, 0);
    dateAt(pack, 1);
    integerAt(pack, 2);
    integerAt(pack, 3);
    integerAt(pack, 4);
    stringAt(pack, 5);
}

int VCGameRound::scoresOfPack(const platform::PlistValue& pack) { return integerAt(pack, 3); }

platform::Date VCGameRound::dateStartOfPack(const platform::PlistValue& pack) { return dateAt(pack, 0); }

}   // namespace plumbrick
