// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview/OpsFormat.h"

#include <cstdio>
#include <ostream>
#include <sstream>

#include "base/Utf8.h"
#include "preview/PrintPreview.h"

namespace zelk {
namespace {

const char* PenStyleName(TPenStyle s) { return s == TPenStyle::psDot ? "dot" : "solid"; }
const char* BrushStyleName(TBrushStyle s) { return s == TBrushStyle::bsClear ? "clear" : "solid"; }

std::string Quoted(const std::u16string& text) {
  std::string out = "\"";
  for (const char c : ToUtf8(text)) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (c == '\\' || c == '"') {
      out += '\\';
      out += c;
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\t') {
      out += "\\t";
    } else if (u < 0x20 || u == 0x7F) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", u);
      out += buf;
    } else {
      out += c;
    }
  }
  out += '"';
  return out;
}

std::string PenText(const TPen& pen) {
  return "pen " + std::to_string(pen.Width) + " " + PenStyleName(pen.Style) + " " +
         FormatOpsColor(pen.Color);
}

std::string BrushText(const TBrush& brush) {
  return std::string("brush ") + BrushStyleName(brush.Style) + " " + FormatOpsColor(brush.Color);
}

std::string Corners(const TRecordedOp& op) {
  return std::to_string(op.P1.X) + " " + std::to_string(op.P1.Y) + " " + std::to_string(op.P2.X) +
         " " + std::to_string(op.P2.Y);
}

std::string Flags(const TFontStyles& st) {
  std::string f;
  if (st.Bold) f += 'b';
  if (st.Italic) f += 'i';
  if (st.Underline) f += 'u';
  if (st.StrikeOut) f += 's';
  return f.empty() ? "-" : f;
}

std::string OpLine(const TMetafileEx& page, const TRecordedOp& op) {
  switch (op.Kind) {
    case TOpKind::Line:
      return "line " + Corners(op) + " " + PenText(op.Pen);
    case TOpKind::Rectangle:
      return "rect " + Corners(op) + " " + PenText(op.Pen) + " " + BrushText(op.Brush);
    case TOpKind::FillRect:
      return "fillrect " + Corners(op) + " " + BrushText(op.Brush);
    case TOpKind::Ellipse:
      return "ellipse " + Corners(op) + " " + PenText(op.Pen) + " " + BrushText(op.Brush);
    case TOpKind::Polygon: {
      static const std::vector<TDevicePoint> kNone;
      const bool valid = op.Index >= 0 && static_cast<size_t>(op.Index) < page.Polygons.size();
      const std::vector<TDevicePoint>& pts = valid ? page.Polygons[op.Index] : kNone;
      std::string s = "polygon " + std::to_string(pts.size());
      for (const TDevicePoint& p : pts) s += " " + std::to_string(p.X) + " " + std::to_string(p.Y);
      return s + " " + PenText(op.Pen) + " " + BrushText(op.Brush);
    }
    case TOpKind::Text: {
      static const TRecordedText kNone;
      const bool valid = op.Index >= 0 && static_cast<size_t>(op.Index) < page.Texts.size();
      const TRecordedText& t = valid ? page.Texts[op.Index] : kNone;
      return "text " + std::to_string(op.P1.X) + " " + std::to_string(op.P1.Y) + " " +
             Quoted(t.Text) + " font " + Quoted(t.Font.Name()) + " " +
             std::to_string(t.Font.Size()) + " " + std::to_string(t.Orientation) + " " +
             Flags(t.Font.Style()) + " " + FormatOpsColor(t.Font.Color());
    }
  }
  return "";
}

}  // namespace

std::string FormatOpsColor(TColor color) {
  const uint32_t c = static_cast<uint32_t>(color);
  if ((c >> 24) == 0xFF) return "#000000";
  char buf[8];
  std::snprintf(buf, sizeof buf, "#%02X%02X%02X", c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
  return buf;
}

void WriteOpsPage(std::ostream& out, const TMetafileEx& page, int index) {
  out << "page " << index << " frame " << page.FrameWidth << ' ' << page.FrameHeight << " size "
      << page.HorzRes << ' ' << page.VertRes << '\n';
  for (const TRecordedOp& op : page.Ops) out << OpLine(page, op) << '\n';
}

void WriteOps(std::ostream& out, const std::vector<const TMetafileEx*>& pages) {
  out << "zelk-ops 1\n";
  int index = 1;
  for (const TMetafileEx* page : pages) WriteOpsPage(out, *page, index++);
}

void WriteOps(std::ostream& out, const TPrintPreview& preview) {
  std::vector<const TMetafileEx*> pages;
  for (int i = 0; i < preview.GetPageCount(); ++i) pages.push_back(preview.GetPage(i));
  WriteOps(out, pages);
}

std::string OpsText(const TPrintPreview& preview) {
  std::ostringstream out;
  WriteOps(out, preview);
  return out.str();
}

}  // namespace zelk
