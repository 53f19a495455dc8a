// SPDX-License-Identifier: GPL-3.0-or-later
// The PDF form of a TVectorDrawing, written page by page: each page's content stream works in
// device units (one transformation at its start), compressed. Glyphs are shown from Type 3 fonts
// whose glyph procedures are the real font's outlines, each font with a ToUnicode map
// built from the characters the glyphs were shaped from; every text is also marked with
// its exact characters as ActualText.

#include <QBuffer>
#include <QHash>
#include <QMap>
#include <algorithm>
#include <cmath>
#include <map>

#include "preview/qt/VectorDrawing.h"

namespace zelk {
namespace {

// Glyph outlines are taken at this many pixels per em; the fonts' matrix scales back.
constexpr qreal kGlyphEm = 1000;

QByteArray Real(qreal v) {
  QByteArray out;
  AppendNumber(out, v);
  return out;
}

// A colour component between 0 and 1.
QByteArray Fraction(qreal v) { return QByteArray::number(v, 'g', 3); }

QByteArray Utf16Hex(const QString& text, bool byteOrderMark) {
  QByteArray out = byteOrderMark ? "FEFF" : "";
  for (QChar c : text) out += QByteArray::number(c.unicode() + 0x10000, 16).mid(1).toUpper();
  return out;
}

QByteArray Deflated(const QByteArray& data) {
  // qCompress gives a zlib stream after four bytes of length.
  return qCompress(data, 6).mid(4);
}

// One Type 3 font: up to 256 glyphs of one face.
struct TType3Font {
  QRawFont Face;                    ///< at kGlyphEm pixels
  std::vector<quint32> Glyphs;      ///< by code
  std::vector<QString> Characters;  ///< by code
};

// The glyphs a page shows, by face, each given a font and a code.
class TType3Fonts {
 public:
  struct TCode {
    int Font;
    int Code;
  };

  TCode Use(const QRawFont& font, quint32 glyph, const QString& characters) {
    const QString key = QStringLiteral("%1|%2|%3|%4")
                            .arg(font.familyName(), font.styleName())
                            .arg(font.weight())
                            .arg(static_cast<int>(font.style()));
    auto& byGlyph = codes_[key];
    auto it = byGlyph.find(glyph);
    if (it != byGlyph.end()) {
      TType3Font& f = fonts_[it->second.Font];
      QString& known = f.Characters[it->second.Code];
      if (known.isEmpty()) known = characters;
      return it->second;
    }
    int index = -1;
    const auto open = lastFontOf_.find(key);
    if (open != lastFontOf_.end() && fonts_[open->second].Glyphs.size() < 256) index = open->second;
    if (index < 0) {
      index = static_cast<int>(fonts_.size());
      TType3Font f;
      f.Face = font;
      f.Face.setPixelSize(kGlyphEm);
      fonts_.push_back(std::move(f));
      lastFontOf_[key] = index;
    }
    TType3Font& f = fonts_[index];
    const TCode code{index, static_cast<int>(f.Glyphs.size())};
    f.Glyphs.push_back(glyph);
    f.Characters.push_back(characters);
    byGlyph.emplace(glyph, code);
    return code;
  }

  const std::vector<TType3Font>& Fonts() const { return fonts_; }

 private:
  std::vector<TType3Font> fonts_;
  std::map<QString, std::map<quint32, TCode>> codes_;
  std::map<QString, int> lastFontOf_;
};

// The content stream, writing each state operator only when the value changes.
class TContent {
 public:
  TContent(TType3Fonts& fonts, qreal scale, qreal pageHeight) : fonts_(fonts) {
    out_ += QByteArray::number(scale, 'g', 9) + " 0 0 " + QByteArray::number(-scale, 'g', 9) +
            " 0 " + QByteArray::number(pageHeight, 'g', 9) + " cm\n";
  }

  void Add(const TShape& shape) {
    if (shape.Fill) Fill(*shape.Fill);
    if (shape.Stroke) Stroke(*shape.Stroke);
    WritePath(shape.Path);
    const bool evenOdd = shape.Path.fillRule() == Qt::OddEvenFill;
    if (shape.Fill && shape.Stroke)
      out_ += evenOdd ? "B*\n" : "B\n";
    else if (shape.Fill)
      out_ += evenOdd ? "f*\n" : "f\n";
    else
      out_ += "S\n";
  }

  void Add(const TGlyphs& glyphs) {
    Fill(glyphs.Color);
    const qreal size = glyphs.Font.pixelSize();
    out_ += "BT\n";
    int font = -1;
    for (int i = 0; i < glyphs.Glyphs.size(); ++i) {
      const QString characters = i < glyphs.Sources.size() ? glyphs.Sources[i] : QString();
      const TType3Fonts::TCode code = fonts_.Use(glyphs.Font, glyphs.Glyphs[i], characters);
      if (code.Font != font) {
        font = code.Font;
        out_ += "/F" + QByteArray::number(font) + " 1 Tf\n";
      }
      // Text space (y up, one unit per em) onto the page (y down).
      const QTransform m =
          QTransform(size, 0, 0, -size, glyphs.Positions[i].x(), glyphs.Positions[i].y()) *
          glyphs.ToDevice;
      for (qreal v : {m.m11(), m.m12(), m.m21(), m.m22(), m.dx(), m.dy()}) out_ += Real(v) + ' ';
      out_ += "Tm<" + QByteArray::number(code.Code + 0x100, 16).mid(1) + ">Tj\n";
    }
    out_ += "ET\n";
  }

  void Add(const TTextSpan& span) {
    if (span.Begin)
      out_ += "/Span<</ActualText<" + Utf16Hex(span.Text, true) + ">>>BDC\n";
    else
      out_ += "EMC\n";
  }

  const QByteArray& Bytes() const { return out_; }

 private:
  void Fill(const QColor& c) {
    if (c.rgb() == fill_) return;
    fill_ = c.rgb();
    out_ += Rgb(c) + "rg\n";
  }

  void Stroke(const TStrokeStyle& s) {
    if (s.Color.rgb() != stroke_) {
      stroke_ = s.Color.rgb();
      out_ += Rgb(s.Color) + "RG\n";
    }
    if (s.Width != width_) {
      width_ = s.Width;
      out_ += Real(s.Width) + " w\n";
    }
    const int cap = s.Cap == Qt::RoundCap ? 1 : s.Cap == Qt::SquareCap ? 2 : 0;
    if (cap != cap_) {
      cap_ = cap;
      out_ += QByteArray::number(cap) + " J\n";
    }
    const int join = s.Join == Qt::RoundJoin ? 1 : s.Join == Qt::BevelJoin ? 2 : 0;
    if (join != join_) {
      join_ = join;
      out_ += QByteArray::number(join) + " j\n";
    }
    if (s.Dashes != dashes_ || s.DashOffset != dashOffset_) {
      dashes_ = s.Dashes;
      dashOffset_ = s.DashOffset;
      out_ += '[';
      for (int i = 0; i < s.Dashes.size(); ++i) out_ += (i ? " " : "") + Real(s.Dashes[i]);
      out_ += "] " + Real(s.DashOffset) + " d\n";
    }
  }

  static QByteArray Rgb(const QColor& c) {
    const QRgb rgb = c.rgb();
    return Fraction(qRed(rgb) / 255.0) + ' ' + Fraction(qGreen(rgb) / 255.0) + ' ' +
           Fraction(qBlue(rgb) / 255.0) + ' ';
  }

  void Point(const QPainterPath::Element& e) { out_ += Real(e.x) + ' ' + Real(e.y) + ' '; }

  void WritePath(const QPainterPath& path) {
    const int n = path.elementCount();
    QPointF start;
    for (int i = 0; i < n; ++i) {
      const QPainterPath::Element& e = path.elementAt(i);
      switch (e.type) {
        case QPainterPath::MoveToElement:
          Point(e);
          out_ += "m\n";
          start = e;
          break;
        case QPainterPath::LineToElement:
          Point(e);
          out_ += "l\n";
          break;
        case QPainterPath::CurveToElement:
          if (i + 2 >= n) break;
          Point(e);
          Point(path.elementAt(i + 1));
          Point(path.elementAt(i + 2));
          out_ += "c\n";
          i += 2;
          break;
        case QPainterPath::CurveToDataElement:
          break;
      }
      // A closed outline joins at its start rather than ending there twice.
      const bool subpathEnds =
          i + 1 >= n || path.elementAt(i + 1).type == QPainterPath::MoveToElement;
      if (subpathEnds && e.type != QPainterPath::MoveToElement &&
          QPointF(path.elementAt(i)) == start)
        out_ += "h\n";
    }
  }

  TType3Fonts& fonts_;
  QByteArray out_;
  QRgb fill_ = qRgb(0, 0, 0);
  QRgb stroke_ = qRgb(0, 0, 0);
  qreal width_ = 1;
  int cap_ = 0;
  int join_ = 0;
  QVector<qreal> dashes_;
  qreal dashOffset_ = 0;
};

// The file's objects, numbered from 1 as they are reserved and written to `out` in any
// order as they are given, and its cross-reference table. Every write is checked: after
// one fails nothing more is written, and Error() says why.
class TPdfFile {
 public:
  explicit TPdfFile(QIODevice& out) : out_(out) { Put("%PDF-1.5\n%\xe2\xe3\xcf\xd3\n"); }

  int Reserve() {
    offsets_.push_back(0);
    return static_cast<int>(offsets_.size());
  }
  void Object(int number, const QByteArray& body) {
    Begin(number);
    Put(body);
    Put("\nendobj\n");
  }
  void Stream(int number, const QByteArray& data, const QByteArray& extra = QByteArray()) {
    const QByteArray deflated = Deflated(data);
    const bool compress = deflated.size() < data.size();
    const QByteArray& bytes = compress ? deflated : data;
    Begin(number);
    Put("<<" + extra + "/Length " + QByteArray::number(bytes.size()) +
        (compress ? "/Filter/FlateDecode" : "") + ">>\nstream\n");
    Put(bytes);
    Put("\nendstream\nendobj\n");
  }
  void Finish(int root, int info) {
    const qint64 xref = written_;
    const int count = static_cast<int>(offsets_.size());
    QByteArray table = "xref\n0 " + QByteArray::number(count + 1) + "\n0000000000 65535 f \n";
    for (qint64 offset : offsets_)
      table += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    Put(table);
    Put("trailer\n<</Size " + QByteArray::number(count + 1) + "/Root " + Ref(root) + "/Info " +
        Ref(info) + ">>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n");
  }
  static QByteArray Ref(int number) { return QByteArray::number(number) + " 0 R"; }
  const QString& Error() const { return error_; }

 private:
  void Begin(int number) {
    offsets_[static_cast<size_t>(number - 1)] = written_;
    Put(QByteArray::number(number) + " 0 obj\n");
  }
  void Put(const QByteArray& bytes) {
    if (!error_.isEmpty()) return;
    if (out_.write(bytes) != bytes.size()) {
      error_ = out_.errorString().isEmpty() ? QStringLiteral("書き込めません") : out_.errorString();
      return;
    }
    written_ += bytes.size();
  }

  QIODevice& out_;
  qint64 written_ = 0;
  std::vector<qint64> offsets_;  // by object number - 1
  QString error_;
};

// The face's family as a PDF name, so that tools listing the fonts show where the glyphs
// came from.
QByteArray FontName(const QRawFont& face) {
  QByteArray name = "/";
  for (char c : face.familyName().toUtf8()) {
    const auto u = static_cast<unsigned char>(c);
    if (u == ' ') continue;
    if (u > 0x20 && u < 0x7f && !QByteArray("#/%()<>[]{}").contains(c))
      name += c;
    else
      name += '#' + QByteArray::number(u + 0x100, 16).mid(1);
  }
  return name;
}

QByteArray ToUnicodeMap(const TType3Font& font) {
  QByteArray entries;
  int count = 0;
  QByteArray out =
      "/CIDInit/ProcSet findresource begin\n12 dict begin\nbegincmap\n"
      "/CIDSystemInfo<</Registry(Adobe)/Ordering(UCS)/Supplement 0>>def\n"
      "/CMapName/Adobe-Identity-UCS def\n/CMapType 2 def\n"
      "1 begincodespacerange\n<00><FF>\nendcodespacerange\n";
  const auto flush = [&] {
    if (count == 0) return;
    out += QByteArray::number(count) + " beginbfchar\n" + entries + "endbfchar\n";
    entries.clear();
    count = 0;
  };
  for (size_t code = 0; code < font.Characters.size(); ++code) {
    if (font.Characters[code].isEmpty()) continue;
    entries += '<' + QByteArray::number(static_cast<int>(code) + 0x100, 16).mid(1) + "><" +
               Utf16Hex(font.Characters[code], false) + ">\n";
    if (++count == 100) flush();
  }
  flush();
  out += "endcmap\nCMapName currentdict/CMap defineresource pop\nend\nend\n";
  return out;
}

// Writes the font's glyph procedures, its ToUnicode map and the font itself.
void WriteFont(TPdfFile& file, int fontObject, const TType3Font& font) {
  QByteArray procs, widths;
  QRectF box;
  for (size_t code = 0; code < font.Glyphs.size(); ++code) {
    const quint32 glyph = font.Glyphs[code];
    // The outline in glyph space, y up.
    const QPainterPath outline = QTransform(1, 0, 0, -1, 0, 0).map(font.Face.pathForGlyph(glyph));
    const QRectF bounds = outline.controlPointRect();
    const auto advances = font.Face.advancesForGlyphIndexes(QVector<quint32>{glyph});
    const qreal advance = advances.isEmpty() ? 0 : advances.front().x();
    QByteArray proc = Real(advance) + " 0 ";
    for (qreal v : {bounds.left(), bounds.top(), bounds.right(), bounds.bottom()})
      proc += Real(v) + ' ';
    proc += "d1\n";
    for (int i = 0; i < outline.elementCount(); ++i) {
      const QPainterPath::Element& e = outline.elementAt(i);
      const auto point = [&](const QPainterPath::Element& p) {
        proc += Real(p.x) + ' ' + Real(p.y) + ' ';
      };
      if (e.type == QPainterPath::MoveToElement) {
        point(e);
        proc += "m\n";
      } else if (e.type == QPainterPath::LineToElement) {
        point(e);
        proc += "l\n";
      } else if (e.type == QPainterPath::CurveToElement && i + 2 < outline.elementCount()) {
        point(e);
        point(outline.elementAt(i + 1));
        point(outline.elementAt(i + 2));
        proc += "c\n";
        i += 2;
      }
    }
    if (!outline.isEmpty()) proc += outline.fillRule() == Qt::OddEvenFill ? "f*\n" : "f\n";
    const int procObject = file.Reserve();
    file.Stream(procObject, proc);
    procs += "/g" + QByteArray::number(static_cast<int>(code)) + ' ' + TPdfFile::Ref(procObject);
    widths += Real(advance) + ' ';
    if (!bounds.isEmpty()) box = box.united(bounds);
  }
  const int toUnicode = file.Reserve();
  file.Stream(toUnicode, ToUnicodeMap(font));
  QByteArray names;
  for (size_t code = 0; code < font.Glyphs.size(); ++code)
    names += "/g" + QByteArray::number(static_cast<int>(code));
  file.Object(fontObject,
              "<</Type/Font/Subtype/Type3/BaseFont" + FontName(font.Face) + "/FontBBox[" +
                  Real(box.left()) + ' ' + Real(box.top()) + ' ' + Real(box.right()) + ' ' +
                  Real(box.bottom()) + "]/FontMatrix[" + QByteArray::number(1 / kGlyphEm) +
                  " 0 0 " + QByteArray::number(1 / kGlyphEm) + " 0 0]/CharProcs<<" + procs +
                  ">>/Encoding<</Type/Encoding/Differences[0" + names +
                  "]>>/FirstChar 0/LastChar " +
                  QByteArray::number(static_cast<int>(font.Glyphs.size()) - 1) + "/Widths[" +
                  widths + "]/Resources<<>>/ToUnicode " + TPdfFile::Ref(toUnicode) + ">>");
}

}  // namespace

struct TPdfStream::TState {
  explicit TState(QIODevice& out) : File(out) {}
  TPdfFile File;
  TType3Fonts Fonts;
  qreal Scale = 1, Width = 0, Height = 0;
  // Reserved first; written at Finish, once every page and font is known. The pages
  // share one resource dictionary, so that a page can be written before the fonts are.
  int Catalog = 0, Pages = 0, Info = 0, Resources = 0;
  std::vector<int> PageObjects;
  std::vector<int> FormObjects;
  int FormResources = 0;  // the fonts only, for the forms; reserved with the first form
  bool Finished = false;
};

TPdfStream::TPdfStream(QIODevice& out, QSize size, int dpi) : st_(std::make_unique<TState>(out)) {
  st_->Scale = 72.0 / (dpi > 0 ? dpi : 72);
  st_->Width = size.width() * st_->Scale;
  st_->Height = size.height() * st_->Scale;
  st_->Catalog = st_->File.Reserve();
  st_->Pages = st_->File.Reserve();
  st_->Info = st_->File.Reserve();
  st_->Resources = st_->File.Reserve();
}

TPdfStream::~TPdfStream() = default;

namespace {

QByteArray ContentOf(TType3Fonts& fonts, const std::vector<TVectorItem>& items, qreal scale,
                     qreal height) {
  TContent content(fonts, scale, height);
  for (const TVectorItem& item : items) std::visit([&](const auto& i) { content.Add(i); }, item);
  return content.Bytes();
}

QByteArray FormName(int form) { return "/X" + QByteArray::number(form); }

}  // namespace

int TPdfStream::AddForm(const std::vector<TVectorItem>& items) {
  TState& st = *st_;
  if (st.Finished || !st.File.Error().isEmpty()) return -1;
  if (st.FormResources == 0) st.FormResources = st.File.Reserve();
  const int object = st.File.Reserve();
  st.File.Stream(object, ContentOf(st.Fonts, items, st.Scale, st.Height),
                 "/Type/XObject/Subtype/Form/BBox[0 0 " + QByteArray::number(st.Width, 'g', 9) +
                     ' ' + QByteArray::number(st.Height, 'g', 9) + "]/Resources " +
                     TPdfFile::Ref(st.FormResources));
  if (!st.File.Error().isEmpty()) return -1;
  st.FormObjects.push_back(object);
  return static_cast<int>(st.FormObjects.size()) - 1;
}

bool TPdfStream::AddPage(const std::vector<TVectorItem>& items, int form) {
  TState& st = *st_;
  if (st.Finished || form < -1 || form >= static_cast<int>(st.FormObjects.size())) return false;
  // The form draws in its own graphics state, which the page's drawing then starts from.
  const QByteArray shown = form >= 0 ? "q " + FormName(form) + " Do Q\n" : QByteArray();
  const int page = st.File.Reserve(), contents = st.File.Reserve();
  st.File.Object(page, "<</Type/Page/Parent " + TPdfFile::Ref(st.Pages) + "/MediaBox [0 0 " +
                           QByteArray::number(st.Width, 'g', 9) + ' ' +
                           QByteArray::number(st.Height, 'g', 9) + "]/Resources " +
                           TPdfFile::Ref(st.Resources) + "/Contents " + TPdfFile::Ref(contents) +
                           ">>");
  st.File.Stream(contents, shown + ContentOf(st.Fonts, items, st.Scale, st.Height));
  st.PageObjects.push_back(page);
  return st.File.Error().isEmpty();
}

bool TPdfStream::Finish(const QString& title) {
  TState& st = *st_;
  if (st.Finished) return false;
  if (st.PageObjects.empty()) AddPage({});
  st.Finished = true;
  std::vector<int> fontObjects;
  for (size_t i = 0; i < st.Fonts.Fonts().size(); ++i) fontObjects.push_back(st.File.Reserve());
  QByteArray fontResources;
  for (size_t i = 0; i < fontObjects.size(); ++i)
    fontResources +=
        "/F" + QByteArray::number(static_cast<int>(i)) + ' ' + TPdfFile::Ref(fontObjects[i]);
  QByteArray formResources;
  for (size_t i = 0; i < st.FormObjects.size(); ++i)
    formResources += FormName(static_cast<int>(i)) + ' ' + TPdfFile::Ref(st.FormObjects[i]);
  st.File.Object(
      st.Resources,
      "<</Font<<" + fontResources + ">>" +
          (formResources.isEmpty() ? QByteArray() : "/XObject<<" + formResources + ">>") + ">>");
  if (st.FormResources != 0) st.File.Object(st.FormResources, "<</Font<<" + fontResources + ">>>>");
  QByteArray kids;
  for (int page : st.PageObjects) kids += TPdfFile::Ref(page) + ' ';
  st.File.Object(st.Pages, "<</Type/Pages/Kids[" + kids.trimmed() + "]/Count " +
                               QByteArray::number(static_cast<int>(st.PageObjects.size())) + ">>");
  st.File.Object(st.Catalog, "<</Type/Catalog/Pages " + TPdfFile::Ref(st.Pages) + ">>");
  st.File.Object(st.Info, "<</Title<" + Utf16Hex(title, true) + ">/Creator(zelk)/Producer(zelk)>>");
  for (size_t i = 0; i < fontObjects.size(); ++i)
    WriteFont(st.File, fontObjects[i], st.Fonts.Fonts()[i]);
  st.File.Finish(st.Catalog, st.Info);
  return st.File.Error().isEmpty();
}

const QString& TPdfStream::Error() const { return st_->File.Error(); }

QByteArray WritePdf(const TVectorDrawing& drawing, const QString& title) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  TPdfStream pdf(buffer, drawing.Size, drawing.Dpi);
  for (const std::vector<TVectorItem>& items : drawing.Pages) pdf.AddPage(items);
  pdf.Finish(title);
  return bytes;
}

}  // namespace zelk
