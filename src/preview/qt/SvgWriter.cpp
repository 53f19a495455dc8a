// SPDX-License-Identifier: GPL-3.0-or-later
// The SVG form of a TVectorDrawing: one <path> per shape with short relative path data,
// one user unit per device unit; each text's outlines in a group whose title is the text.

#include <cmath>

#include "preview/qt/VectorDrawing.h"

namespace zelk {
namespace {

// Coordinates in hundredths of a device unit: relative steps computed from rounded
// positions add up exactly.
qint64 Hundredths(qreal v) { return std::isfinite(v) ? std::llround(v * 100) : 0; }

void AppendHundredths(QByteArray& out, qint64 h) {
  if (h < 0) {
    out += '-';
    h = -h;
  }
  out += QByteArray::number(h / 100);
  const int fraction = static_cast<int>(h % 100);
  if (fraction == 0) return;
  out += '.';
  out += static_cast<char>('0' + fraction / 10);
  if (fraction % 10) out += static_cast<char>('0' + fraction % 10);
}

// Path data with relative commands, a command letter written only when it changes.
class TPathData {
 public:
  explicit TPathData(QByteArray& out) : out_(out) {}

  void Write(const QPainterPath& path) {
    const int n = path.elementCount();
    for (int start = 0; start < n;) {
      int end = start + 1;
      while (end < n && path.elementAt(end).type != QPainterPath::MoveToElement) ++end;
      WriteSubpath(path, start, end);
      start = end;
    }
  }

 private:
  void WriteSubpath(const QPainterPath& path, int start, int end) {
    const QPainterPath::Element& first = path.elementAt(start);
    const qint64 sx = Hundredths(first.x), sy = Hundredths(first.y);
    const QPainterPath::Element& last = path.elementAt(end - 1);
    // A subpath of two or more segments back at its start is closed, so that a stroke
    // joins there instead of ending twice.
    const bool closed = end - start >= 3 && Hundredths(last.x) == sx && Hundredths(last.y) == sy;
    Command('m');
    Number(sx - x_);
    Number(sy - y_);
    x_ = sx, y_ = sy;
    for (int i = start + 1; i < end; ++i) {
      const QPainterPath::Element& e = path.elementAt(i);
      if (e.type == QPainterPath::CurveToElement && i + 2 < end) {
        Command('c');
        for (int k = 0; k < 3; ++k) {
          const QPainterPath::Element& p = path.elementAt(i + k);
          Number(Hundredths(p.x) - x_);
          Number(Hundredths(p.y) - y_);
        }
        x_ = Hundredths(path.elementAt(i + 2).x), y_ = Hundredths(path.elementAt(i + 2).y);
        i += 2;
        continue;
      }
      if (closed && i == end - 1) break;  // the closing line is the close itself
      const qint64 x = Hundredths(e.x), y = Hundredths(e.y);
      if (y == y_) {
        Command('h');
        Number(x - x_);
      } else if (x == x_) {
        Command('v');
        Number(y - y_);
      } else {
        Command('l');
        Number(x - x_);
        Number(y - y_);
      }
      x_ = x, y_ = y;
    }
    if (closed) {
      Command('z');
      x_ = sx, y_ = sy;
    }
  }

  void Command(char c) {
    if (c == command_ && c != 'm' && c != 'z') return;  // the letter carries over
    out_ += c;
    command_ = c;
    separate_ = false;
  }
  void Number(qint64 h) {
    if (separate_ && h >= 0) out_ += ' ';
    AppendHundredths(out_, h);
    separate_ = true;
  }

  QByteArray& out_;
  qint64 x_ = 0, y_ = 0;
  char command_ = 0;
  bool separate_ = false;
};

QByteArray Colour(const QColor& c) {
  const QRgb rgb = c.rgb();
  const int r = qRed(rgb), g = qGreen(rgb), b = qBlue(rgb);
  if (r % 17 == 0 && g % 17 == 0 && b % 17 == 0)
    return '#' + QByteArray::number(r / 17, 16) + QByteArray::number(g / 17, 16) +
           QByteArray::number(b / 17, 16);
  return QStringLiteral("#%1").arg(rgb & 0xffffff, 6, 16, QLatin1Char('0')).toLatin1();
}

void Attribute(QByteArray& out, const char* name, const QByteArray& value) {
  out += ' ';
  out += name;
  out += "=\"";
  out += value;
  out += '"';
}

QByteArray Number(qreal v) {
  QByteArray out;
  AppendHundredths(out, Hundredths(v));
  return out;
}

QByteArray Escaped(const QString& text) { return text.toHtmlEscaped().toUtf8(); }

void WritePaint(QByteArray& out, const char* what, const QColor& c) {
  Attribute(out, what, Colour(c));
  if (c.alpha() != 255)
    Attribute(out, (QByteArray(what) + "-opacity").constData(),
              QByteArray::number(c.alphaF(), 'g', 3));
}

void WriteShape(QByteArray& out, const TShape& shape) {
  out += "<path";
  if (shape.Fill) {
    WritePaint(out, "fill", *shape.Fill);
    if (shape.Path.fillRule() == Qt::OddEvenFill) Attribute(out, "fill-rule", "evenodd");
  } else {
    Attribute(out, "fill", "none");
  }
  if (shape.Stroke) {
    const TStrokeStyle& s = *shape.Stroke;
    WritePaint(out, "stroke", s.Color);
    if (s.Width == 0) {
      Attribute(out, "vector-effect", "non-scaling-stroke");
    } else if (s.Width != 1) {
      Attribute(out, "stroke-width", Number(s.Width));
    }
    if (s.Cap == Qt::RoundCap) Attribute(out, "stroke-linecap", "round");
    if (s.Cap == Qt::SquareCap) Attribute(out, "stroke-linecap", "square");
    if (s.Join == Qt::RoundJoin) Attribute(out, "stroke-linejoin", "round");
    if (s.Join == Qt::BevelJoin) Attribute(out, "stroke-linejoin", "bevel");
    if (!s.Dashes.isEmpty()) {
      // A dash of length zero with round or square caps is a dot by the rules of SVG, but
      // Qt's SVG renderer draws nothing for it: it is written a hundredth of a unit long,
      // taken from the gap after it, which no one sees.
      QVector<qreal> lengths = s.Dashes;
      if (s.Cap != Qt::FlatCap)
        for (int i = 0; i + 1 < lengths.size(); i += 2)
          if (lengths[i] == 0 && lengths[i + 1] > 0.02) lengths[i] = 0.01, lengths[i + 1] -= 0.01;
      QByteArray dashes;
      for (qreal d : lengths) {
        if (!dashes.isEmpty()) dashes += ' ';
        dashes += Number(d);
      }
      Attribute(out, "stroke-dasharray", dashes);
      if (s.DashOffset != 0) Attribute(out, "stroke-dashoffset", Number(s.DashOffset));
    }
  }
  out += " d=\"";
  TPathData(out).Write(shape.Path);
  out += "\"/>\n";
}

}  // namespace

void AppendNumber(QByteArray& out, qreal value) { AppendHundredths(out, Hundredths(value)); }

QByteArray WriteSvg(const TVectorDrawing& drawing, const QString& title) {
  const int w = drawing.Size.width(), h = drawing.Size.height();
  QByteArray out;
  out +=
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
      "version=\"1.2\" baseProfile=\"tiny\"";
  Attribute(out, "width", QByteArray::number(w * 25.4 / drawing.Dpi, 'f', 2) + "mm");
  Attribute(out, "height", QByteArray::number(h * 25.4 / drawing.Dpi, 'f', 2) + "mm");
  Attribute(out, "viewBox", "0 0 " + QByteArray::number(w) + ' ' + QByteArray::number(h));
  out += ">\n<title>" + Escaped(title) + "</title>\n";
  static const std::vector<TVectorItem> kNone;
  for (const TVectorItem& item : drawing.Pages.empty() ? kNone : drawing.Pages.front()) {
    if (const auto* shape = std::get_if<TShape>(&item)) {
      WriteShape(out, *shape);
    } else if (const auto* span = std::get_if<TTextSpan>(&item)) {
      // A text's outlines in a group titled with its characters.
      out += span->Begin ? "<g><title>" + Escaped(span->Text) + "</title>\n" : "</g>\n";
    }
  }
  out += "</svg>\n";
  return out;
}

}  // namespace zelk
