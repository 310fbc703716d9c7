// The desktop's font configuration, read ahead. Left to the toolkit,
// fontconfig reads its configuration files and font caches when the first
// window is laid out, on the main thread, just before that window can be
// shown. Read on a thread of its own while the toolkit connects to the
// display, it is ready by the time the window needs it.
#pragma once

#include <thread>

namespace tvq {

class FontConfigurationReader {
  public:
    // Starts reading. Where no thread can be started nothing is read ahead,
    // and the toolkit reads the configuration when it needs it, as usual.
    FontConfigurationReader();
    ~FontConfigurationReader() { wait(); }
    FontConfigurationReader(const FontConfigurationReader&) = delete;
    FontConfigurationReader& operator=(const FontConfigurationReader&) = delete;

    // Returns once the reading is done. Called before the first text is
    // measured: a toolkit that found the configuration still unread would
    // read all of it again beside this thread.
    void wait();

  private:
    std::thread thread_;
};

}  // namespace tvq
