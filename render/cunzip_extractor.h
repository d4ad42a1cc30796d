#pragma once
// The PackageExtractor rendering uses, over the window's archive component.
#include "archive/cUnzip.h"
#include "render/ports.h"

namespace tv::render {

class CUnzipExtractor : public PackageExtractor {
  public:
    explicit CUnzipExtractor(cUnzip& unzip) : unzip_(unzip) {}
    int FileCount() const override { return unzip_.FileCount(); }
    Status Extract(const std::vector<int>& entries, const std::string& folder) override {
        return unzip_.Extract(entries, folder);
    }

  private:
    cUnzip& unzip_;
};

}  // namespace tv::render
