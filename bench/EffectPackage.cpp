#include "EffectPackage.h"

#include <zip.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <utility>
#include <vector>

namespace brantok::lumaro::bench {

void EffectPackage::Write(const std::filesystem::path& path, const std::string& kernel, const std::string& metadata,
                          const std::string& prompt) {
  int error = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  if (!archive) throw std::runtime_error("cannot create " + path.string());
  const std::vector<std::pair<const char*, const std::string*>> entries{
      {"metadata.json", &metadata}, {"kernel.cl", &kernel}, {"prompt.txt", &prompt}};
  for (const auto& [name, content] : entries) {
    // libzip reads the buffer when the archive is closed, so it gets a copy it frees.
    void* copy = std::malloc(content->size() + 1);
    if (!copy) throw std::bad_alloc();
    std::memcpy(copy, content->data(), content->size());
    zip_source_t* source = zip_source_buffer(archive, copy, content->size(), 1);
    if (!source) std::free(copy);
    if (!source || zip_file_add(archive, name, source, ZIP_FL_ENC_UTF_8) < 0) {
      if (source) zip_source_free(source);
      zip_discard(archive);
      throw std::runtime_error("cannot add " + std::string(name) + " to " + path.string());
    }
  }
  if (zip_close(archive) != 0) {
    zip_discard(archive);
    throw std::runtime_error("cannot write " + path.string());
  }
}

} // namespace brantok::lumaro::bench
