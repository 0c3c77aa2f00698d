#include "net/internetfile.h"

#include "net/codepage.h"
#include "net/limits.h"
#include "net/transport.h"

namespace linkvane {

QString GetInternetFile(const QString& url) {
    const HttpResponse response = HttpGet(ToAnsi(url), CurrentFetchLimits().textBytes);
    return FromAnsi(response.body);
}

}  // namespace linkvane
