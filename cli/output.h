#pragma once

#include <fstream>
#include <iostream>
#include <string>

#include "cli/options.h"

namespace tesral::cli {

/** Standard output, or the file named by --output (replaced). */
class Output {
  public:
    explicit Output(const Options& options) {
        if (options.has("output")) {
            file_.open(options.value("output"), std::ios::binary | std::ios::trunc);
            if (!file_) throw std::runtime_error("cannot write '" + options.value("output") + "'");
        }
    }
    std::ostream& stream() { return file_.is_open() ? file_ : std::cout; }
    /** False when something could not be written. */
    bool finish() {
        stream().flush();
        return static_cast<bool>(stream());
    }

  private:
    std::ofstream file_;
};

}  // namespace tesral::cli
