#include "archive/unzip/unzip_internal.h"

namespace tv::unzip {
namespace {

constexpr int kPasswordTries = 3;

}  // namespace

Session::Outcome Session::OpenEntry(zip_t* za, zip_uint64_t index, const zip_stat_t& st,
                                    const std::string& name, ZipFileHandle& file) {
    const std::int32_t method = (st.valid & ZIP_STAT_COMP_METHOD) ? st.comp_method : 0;
    const std::uint16_t encryption =
        (st.valid & ZIP_STAT_ENCRYPTION_METHOD) ? st.encryption_method : ZIP_EM_NONE;
    if (!zip_compression_method_supported(method, 0)) {
        Print(Level::kWarning,
              "  skipping: " + name + "  unsupported compression method " + std::to_string(method));
        return Outcome::kUnsupported;
    }
    if (encryption != ZIP_EM_NONE && !zip_encryption_method_supported(encryption, 0)) {
        Print(Level::kWarning, "  skipping: " + name + "  unsupported encryption method " +
                                   std::to_string(encryption));
        return Outcome::kUnsupported;
    }
    auto fail = [&](int zipError) {
        Print(Level::kWarning, "error: " + name + ": " + ZipErrorText(zipError));
        return Outcome::kFailed;
    };
    if (encryption == ZIP_EM_NONE) {
        file.reset(zip_fopen_index(za, index, 0));
        return file ? Outcome::kDone : fail(zip_error_code_zip(zip_get_error(za)));
    }
    std::string candidate = password_;
    bool haveCandidate = !candidate.empty();
    for (int asked = 0;;) {
        if (haveCandidate) {
            file.reset(zip_fopen_index_encrypted(za, index, 0, candidate.c_str()));
            if (file) {
                password_ = candidate;
                return Outcome::kDone;
            }
            const int zipError = zip_error_code_zip(zip_get_error(za));
            zip_error_clear(za);
            if (zipError != ZIP_ER_WRONGPASSWD && zipError != ZIP_ER_NOPASSWD) {
                return fail(zipError);
            }
        }
        if (asked == kPasswordTries) {
            Print(Level::kWarning,
                  "  skipping: " + name +
                      (asked > 0 || !password_.empty() ? "  incorrect password" : "  no password"));
            return Outcome::kNoPassword;
        }
        PasswordQuery query;
        query.entry = name;
        ++asked;
        listener_.Ask(query);
        if (!query.given) {
            Print(Level::kWarning, "  skipping: " + name + "  no password");
            return Outcome::kNoPassword;
        }
        candidate = std::move(query.password);
        haveCandidate = true;
    }
}

}  // namespace tv::unzip
