// The error every routine of the dataset layer raises.
#pragma once

#include <stdexcept>

namespace zl::db {

class DbError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A number assigned to a field lies outside the range set for its column.
class RangeError : public DbError {
  public:
    using DbError::DbError;
};

}  // namespace zl::db
