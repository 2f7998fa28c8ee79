// Proposes the validity period of a new dated row (a selling rate, an exchange rate): it starts
// on the day the owner's latest period ends, or today when the owner has none.
#pragma once

#include <string>

#include "platform/db/Query.h"

namespace zl {

class DateAdjuster {
  public:
    DateAdjuster();
    DateAdjuster(const DateAdjuster&) = delete;
    DateAdjuster& operator=(const DateAdjuster&) = delete;

    // Writes into the row `dataset` is editing: fromField := the latest orderField of the rows
    // of `table` whose keyField is keyValue, toField := that day + days; without such a row,
    // the period from today. The new period begins on the day the previous one ends, so that
    // day lies in both. Never raises and shows nothing of its own: on a failure the row keeps
    // what it had.
    void prevDates(const std::string& table, const std::string& orderField,
                   const std::string& keyField, int keyValue, db::Query& dataset,
                   const std::string& fromField, const std::string& toField, int days);
    // fromField := today, toField := today + days.
    void defaultDates(db::Query& dataset, const std::string& fromField, int days,
                      const std::string& toField);

    db::Query qPrev;
};

}  // namespace zl
