#pragma once
// Root ignores file permissions. For the length of a test, root acts as an ordinary user (the
// unused id 65534), so the refusals a user meets are tried in every run. Declare it before the
// test's TempDir: the folder is then made and removed by that user.

#include <sys/types.h>
#include <unistd.h>

class ActingAsOrdinaryUser {
  public:
    ActingAsOrdinaryUser() : root_(geteuid() == 0) {
        if (root_)
            acting_ = setegid(Id) == 0 && seteuid(Id) == 0;
    }
    ~ActingAsOrdinaryUser() {
        if (root_) {
            seteuid(0);
            setegid(0);
        }
    }
    ActingAsOrdinaryUser(const ActingAsOrdinaryUser&) = delete;
    ActingAsOrdinaryUser& operator=(const ActingAsOrdinaryUser&) = delete;

    // False when root could not give up its rights: the test cannot try what it means to.
    bool Acting() const { return !root_ || acting_; }

  private:
    static constexpr uid_t Id = 65534;
    bool root_;
    bool acting_ = false;
};
