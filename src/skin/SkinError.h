#pragma once
// The error of the skin library: a picture that cannot be read, a skin value that is unusable.
#include <stdexcept>

namespace skin {

class SkinError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace skin
