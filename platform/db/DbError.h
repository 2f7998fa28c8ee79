// The error every routine of the dataset layer raises.
#pragma once

#include <stdexcept>

namespace zl::db {

class DbError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace zl::db
