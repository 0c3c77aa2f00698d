#include "net/weblink.h"

namespace linkvane {

bool IsWebLink(QStringView text) {
    return text.startsWith(u"http://", Qt::CaseInsensitive) ||
           text.startsWith(u"https://", Qt::CaseInsensitive);
}

}  // namespace linkvane
