// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/qt/CupsQueue.h"

#include <cups/cups.h>

#include <cstring>
#include <iterator>

namespace zelk {

TQueueState QueryQueue(const QString& name) {
  TQueueState state;
  const QByteArray queue = name.toUtf8();
  char uri[HTTP_MAX_URI];
  httpAssembleURIf(HTTP_URI_CODING_ALL, uri, sizeof uri, "ipp", nullptr, "localhost", 0,
                   "/printers/%s", queue.constData());
  ipp_t* request = ippNewRequest(IPP_OP_GET_PRINTER_ATTRIBUTES);
  ippAddString(request, IPP_TAG_OPERATION, IPP_TAG_URI, "printer-uri", nullptr, uri);
  static const char* const kWanted[] = {"printer-is-accepting-jobs", "printer-state",
                                        "printer-state-message", "printer-state-reasons"};
  ippAddStrings(request, IPP_TAG_OPERATION, IPP_TAG_KEYWORD, "requested-attributes",
                static_cast<int>(std::size(kWanted)), nullptr, kWanted);
  ipp_t* response = cupsDoRequest(CUPS_HTTP_DEFAULT, request, "/");  // frees the request
  if (!response || cupsLastError() > IPP_STATUS_OK_EVENTS_COMPLETE) {
    state.Reason = QString::fromUtf8(cupsLastErrorString());
    state.SchedulerDown = cupsLastError() == IPP_STATUS_ERROR_SERVICE_UNAVAILABLE;
    ippDelete(response);
    return state;
  }
  state.Reachable = true;
  ipp_attribute_t* a = ippFindAttribute(response, "printer-is-accepting-jobs", IPP_TAG_BOOLEAN);
  state.Accepting = !a || ippGetBoolean(a, 0);
  a = ippFindAttribute(response, "printer-state", IPP_TAG_ENUM);
  state.Paused = a && ippGetInteger(a, 0) == IPP_PSTATE_STOPPED;
  a = ippFindAttribute(response, "printer-state-message", IPP_TAG_TEXT);
  const char* message = a ? ippGetString(a, 0, nullptr) : nullptr;
  a = ippFindAttribute(response, "printer-state-reasons", IPP_TAG_KEYWORD);
  const char* reasons = a ? ippGetString(a, 0, nullptr) : nullptr;
  if (message && *message)
    state.Reason = QString::fromUtf8(message);
  else if (reasons && std::strcmp(reasons, "none") != 0)
    state.Reason = QString::fromUtf8(reasons);
  ippDelete(response);
  return state;
}

QString LastCupsFailure() {
  if (cupsLastError() <= IPP_STATUS_OK_EVENTS_COMPLETE) return QString();
  return QString::fromUtf8(cupsLastErrorString());
}

}  // namespace zelk
