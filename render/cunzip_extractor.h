#pragma once
// The PackageExtractor rendering uses, over the window's archive component. A failed
// Unzip becomes error 75 from ".cUnzip" naming the package and the folder.
#include "archive/cUnzip.h"
#include "render/ports.h"

namespace tv::render {

class CUnzipExtractor : public PackageExtractor {
  public:
    explicit CUnzipExtractor(cUnzip& unzip) : unzip_(unzip) {}
    int FileCount() const override { return unzip_.FileCount(); }
    std::string FileDirectory(int i) const override { return unzip_.FileDirectory(i); }
    std::string ZipFile() const override { return unzip_.ZipFile(); }
    void SetFileSelected(int i, bool bSelected) override { unzip_.SetFileSelected(i, bSelected); }
    void SetUnzipFolder(const std::string& sFolder) override { unzip_.SetUnzipFolder(sFolder); }
    Status Unzip() override;

  private:
    cUnzip& unzip_;
};

}  // namespace tv::render
