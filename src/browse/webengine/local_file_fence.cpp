#include "browse/webengine/local_file_fence.h"

namespace {

// What a page can read back: an answer to a script's request, a frame's document, an
// embedded object, a worker's script.
bool contentsReachThePage(QWebEngineUrlRequestInfo::ResourceType type)
{
    switch (type) {
    case QWebEngineUrlRequestInfo::ResourceTypeXhr:
    case QWebEngineUrlRequestInfo::ResourceTypeSubFrame:
    case QWebEngineUrlRequestInfo::ResourceTypeObject:
    case QWebEngineUrlRequestInfo::ResourceTypePluginResource:
    case QWebEngineUrlRequestInfo::ResourceTypeWorker:
    case QWebEngineUrlRequestInfo::ResourceTypeSharedWorker:
    case QWebEngineUrlRequestInfo::ResourceTypeServiceWorker: return true;
    default: return false;
    }
}

} // namespace

void LocalFileFence::interceptRequest(QWebEngineUrlRequestInfo& info)
{
    if (info.requestUrl().isLocalFile() && info.firstPartyUrl().isLocalFile()
        && contentsReachThePage(info.resourceType()))
        info.block(true);
}
