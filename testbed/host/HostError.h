// An error of the testbed itself (a bad module, a bad scene, a misuse of the model), as opposed
// to a status that a plug-in returns.
#pragma once

#include <stdexcept>
#include <string>

namespace tb {

class HostError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace tb
