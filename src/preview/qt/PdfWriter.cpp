// The PDF form of a TVectorDrawing: one page whose content stream works in device units
// (one transformation at its start), compressed. Glyphs are shown from Type 3 fonts
// whose glyph procedures are the real font's outlines, each font with a ToUnicode map
// built from the characters the glyphs were shaped from; every text is also marked with
// its exact characters as ActualText.

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

// The file's objects, numbered from 1 in the order they are added, and its cross-reference
// table.
class TPdfFile {
 public:
  TPdfFile() { out_ = "%PDF-1.5\n%\xe2\xe3\xcf\xd3\n"; }

  int Reserve() { return ++count_; }
  void Object(int number, const QByteArray& body) {
    if (static_cast<int>(offsets_.size()) < number) offsets_.resize(number, 0);
    offsets_[number - 1] = out_.size();
    out_ += QByteArray::number(number) + " 0 obj\n" + body + "\nendobj\n";
  }
  void Stream(int number, const QByteArray& data, const QByteArray& extra = QByteArray()) {
    const QByteArray deflated = Deflated(data);
    const bool compress = deflated.size() < data.size();
    const QByteArray& bytes = compress ? deflated : data;
    Object(number, "<<" + extra + "/Length " + QByteArray::number(bytes.size()) +
                       (compress ? "/Filter/FlateDecode" : "") + ">>\nstream\n" + bytes +
                       "\nendstream");
  }
  QByteArray Finish(int root, int info) {
    const qint64 xref = out_.size();
    out_ += "xref\n0 " + QByteArray::number(count_ + 1) + "\n0000000000 65535 f \n";
    for (int i = 0; i < count_; ++i)
      out_ += QByteArray::number(i < static_cast<int>(offsets_.size()) ? offsets_[i] : 0)
                  .rightJustified(10, '0') +
              " 00000 n \n";
    out_ += "trailer\n<</Size " + QByteArray::number(count_ + 1) + "/Root " + Ref(root) + "/Info " +
            Ref(info) + ">>\nstartxref\n" + QByteArray::number(xref) + "\n%%EOF\n";
    return out_;
  }
  static QByteArray Ref(int number) { return QByteArray::number(number) + " 0 R"; }

 private:
  QByteArray out_;
  int count_ = 0;
  std::vector<qint64> offsets_;
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

QByteArray WritePdf(const TVectorDrawing& drawing, const QString& title) {
  const qreal scale = 72.0 / drawing.Dpi;
  const qreal width = drawing.Size.width() * scale, height = drawing.Size.height() * scale;
  TType3Fonts fonts;
  std::vector<QByteArray> contents;
  for (const std::vector<TVectorItem>& items : drawing.Pages) {
    TContent content(fonts, scale, height);
    for (const TVectorItem& item : items) std::visit([&](const auto& i) { content.Add(i); }, item);
    contents.push_back(content.Bytes());
  }
  if (contents.empty()) contents.push_back(TContent(fonts, scale, height).Bytes());

  TPdfFile file;
  const int catalog = file.Reserve(), pages = file.Reserve(), info = file.Reserve();
  std::vector<int> pageObjects;
  for (size_t i = 0; i < contents.size(); ++i) pageObjects.push_back(file.Reserve());
  std::vector<int> fontObjects;
  for (size_t i = 0; i < fonts.Fonts().size(); ++i) fontObjects.push_back(file.Reserve());
  file.Object(catalog, "<</Type/Catalog/Pages " + TPdfFile::Ref(pages) + ">>");
  QByteArray kids;
  for (int page : pageObjects) kids += TPdfFile::Ref(page) + ' ';
  file.Object(pages, "<</Type/Pages/Kids[" + kids.trimmed() + "]/Count " +
                         QByteArray::number(static_cast<int>(pageObjects.size())) + ">>");
  QByteArray fontResources;
  for (size_t i = 0; i < fontObjects.size(); ++i)
    fontResources +=
        "/F" + QByteArray::number(static_cast<int>(i)) + ' ' + TPdfFile::Ref(fontObjects[i]);
  for (size_t i = 0; i < pageObjects.size(); ++i) {
    const int content = file.Reserve();
    file.Object(pageObjects[i], "<</Type/Page/Parent " + TPdfFile::Ref(pages) + "/MediaBox [0 0 " +
                                    QByteArray::number(width, 'g', 9) + ' ' +
                                    QByteArray::number(height, 'g', 9) + "]/Resources<</Font<<" +
                                    fontResources + ">>>>/Contents " + TPdfFile::Ref(content) +
                                    ">>");
    file.Stream(content, contents[i]);
  }
  file.Object(info, "<</Title<" + Utf16Hex(title, true) + ">/Creator(zelk)/Producer(zelk)>>");
  for (size_t i = 0; i < fontObjects.size(); ++i) WriteFont(file, fontObjects[i], fonts.Fonts()[i]);
  return file.Finish(catalog, info);
}

}  // namespace zelk
