#include "services/Downloader.h"

#include "core/ProductInformation.h"

#include <utility>

namespace brantok::lumaro::services {

Downloader::Downloader() : url_(core::ProductInformation::VersionFileUrl) {}

Downloader::Downloader(std::string url) : url_(std::move(url)) {}

} // namespace brantok::lumaro::services
