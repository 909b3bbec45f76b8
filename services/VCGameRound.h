#pragma once
// One recorded round, and its pack: the six-element array (start date, end date, time in whole
// seconds, score, penalty, name) in which the results list and the results file keep it.

#include <memory>
#include <stdexcept>
#include <string>

#include "platform/Date.h"
#include "platform/Plist.h"

namespace plumbrick {

// A pack that is not six elements of date, date, integer, integer, integer, string (integers in
// signed 32-bit range). what() describes the fault briefly.
class MalformedPackError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class VCGameRound {
public:
    VCGameRound() = default;
    VCGameRound(platform::Date dateStart, platform::Date dateEnd, int time, int scores, int penalty, std::string name);

    // A round from a pack, or null (and one "ERROR VCGamesResult:initWithPack: ..." log line) when the
    // pack is malformed.
    static std::unique_ptr<VCGameRound> initWithPack(const platform::PlistValue& pack);

    // A new pack of this round.
    platform::PlistValue getPack() const;
    // Fills every field from a pack. Throws MalformedPackError (and changes nothing) when it is malformed.
    void setPack(const platform::PlistValue& pack);

    // Throws MalformedPackError unless `pack` is well formed.
    static void checkPack(const platform::PlistValue& pack);
    // The score (element 3) of a pack; throws MalformedPackError when it is missing or not an integer.
    static int scoresOfPack(const platform::PlistValue& pack);
    // The start date (element 0) of a pack; throws MalformedPackError when it is missing or not a date.
    static platform::Date dateStartOfPack(const platform::PlistValue& pack);

    platform::Date getDateStart() const { return dateStart; }
    void setDateStart(platform::Date d) { dateStart = d; }
    platform::Date getDateEnd() const { return dateEnd; }
    void setDateEnd(platform::Date d) { dateEnd = d; }
    int getTime() const { return time; }
    void setTime(int t) { time = t; }
    int getScores() const { return scores; }
    void setScores(int s) { scores = s; }
    int getPenalty() const { return penalty; }
    void setPenalty(int p) { penalty = p; }
    const std::string& getName() const { return name; }
    void setName(std::string n) { name = std::move(n); }

private:
    platform::Date dateStart;
    platform::Date dateEnd;
    int time = 0;
    int scores = 0;
    int penalty = 0;
    std::string name;
};

}   // namespace plumbrick
