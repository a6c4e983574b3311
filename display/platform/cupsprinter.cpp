#include "cupsprinter.h"

#include <cups/cups.h>

namespace vornestw {

namespace {

QString lastError()
{
    return QString::fromUtf8(cupsLastErrorString());
}

} // namespace

std::optional<QString> CupsPrinter::printRaw(std::string_view bytes)
{
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (dest == nullptr)
        return QStringLiteral("No default printer (%1)").arg(lastError());

    std::optional<QString> error;
    cups_dinfo_t* info = cupsCopyDestInfo(CUPS_HTTP_DEFAULT, dest);
    int job = 0;
    if (cupsCreateDestJob(CUPS_HTTP_DEFAULT, dest, info, &job, "Vornest", 0, nullptr) !=
        IPP_STATUS_OK) {
        error = lastError();
    } else if (cupsStartDestDocument(CUPS_HTTP_DEFAULT, dest, info, job, "Vornest", CUPS_FORMAT_RAW,
                                     0, nullptr, 1) != HTTP_STATUS_CONTINUE) {
        error = lastError();
        cupsCancelDestJob(CUPS_HTTP_DEFAULT, dest, job);
    } else if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, bytes.data(), bytes.size()) !=
               HTTP_STATUS_CONTINUE) {
        error = lastError();
        cupsFinishDestDocument(CUPS_HTTP_DEFAULT, dest, info);
        cupsCancelDestJob(CUPS_HTTP_DEFAULT, dest, job);
    } else if (cupsFinishDestDocument(CUPS_HTTP_DEFAULT, dest, info) != IPP_STATUS_OK) {
        error = lastError();
    }
    cupsFreeDestInfo(info);
    cupsFreeDests(1, dest);
    return error;
}

} // namespace vornestw
