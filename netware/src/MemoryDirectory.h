// A directory kept in this process's memory: the sink that collects the compiled records
// when there is no compiled store to keep them in.
#pragma once

#include <memory>
#include <vector>

#include "DirectoryLoader.h"

namespace nw {

class MemoryDirectory : public DirectorySink {
  public:
    MemoryDirectory() : directory_(std::make_shared<Directory>()) {}
    void beginTree() override;
    void putObject(std::uint32_t index, std::string_view record) override;
    void endTree(const std::string& name, TreeIndex index) override;
    std::shared_ptr<const Directory> take() { return std::move(directory_); }

  private:
    std::shared_ptr<Directory> directory_;
    std::vector<std::string> objects_;  // of the tree being read
};

}  // namespace nw
