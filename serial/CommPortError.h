#pragma once
// Errors of the serial port component; the text is shown to the user as is.

#include <stdexcept>
#include <string>

class ECommPortError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
