#pragma once
// A pseudo-terminal pair for serial tests: the test plays the instrument on
// the master side while the port under test opens the slave path.

#include <string>

class Pty {
  public:
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    const std::string& SlavePath() const { return slave_; }
    int Master() const { return master_; }
    void Write(const std::string& bytes);
    // Whatever arrives within timeoutMs (stops early once `want` bytes are in).
    std::string Read(std::size_t want, int timeoutMs);
    void Hangup(); // closes the master side, as an unplugged adapter

  private:
    int master_ = -1;
    std::string slave_;
};
