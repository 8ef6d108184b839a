#include "common/GridPrint.h"

#include "common/DataGrid.h"
#include "common/RecordModel.h"
#include "common/XlsxExport.h"
#include "platform/Clock.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPainter>
#include <QPainterPath>
#include <QPrinter>
#include <QPrintPreviewDialog>

#include <algorithm>
#include <optional>

namespace {

PrintPreviewRunner& previewRunner()
{
    static PrintPreviewRunner runner;
    return runner;
}

const QColor kLineColour(110, 110, 110);
const QColor kTitlesFill(228, 228, 228);
const QColor kFooterFill(242, 242, 242);
constexpr int kTextFlagsWrapped = Qt::TextWordWrap;

// Chinese text comes from a fallback font that is taller than the
// document font; a line has to hold both.
double lineHeight(const QFont& font, QPaintDevice* device)
{
    const QFontMetricsF fm(font, device);
    return qMax(fm.height(),
                fm.boundingRect(QRectF(0, 0, 1e6, 1e6), 0, QStringLiteral("国Ag")).height());
}

double ruleWidth(const QPaintDevice* device)
{
    return qMax(1.0, device->logicalDpiX() / 150.0);
}

Qt::Alignment alignmentOf(const QVariant& v, Qt::Alignment fallback)
{
    return v.isValid() ? v.value<Qt::Alignment>() : fallback;
}

} // namespace

QString GridPrintFooterText(const QString& footer)
{
    const QString t = footer.trimmed();
    if (t.isEmpty())
        return QString();
    if (t.compare(QLatin1String("date"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("打印日期：") +
               Clock::today().toString(QStringLiteral("yyyy年MM月dd日"));
    return footer;
}

// ---- Layout

GridPrintLayout::GridPrintLayout(const RecordModel& model, const GridColumns& columns,
                                 const GridPrintOptions& options, QPaintDevice* device)
    : m_model(model), m_options(options), m_device(device)
{
    m_width = device->width();
    m_height = device->height();
    // Grid widths are screen pixels; the device may have 1200 of them an inch.
    const double perPixel = device->logicalDpiX() / 96.0;

    const QList<int> modelColumns = ModelColumnsOf(model, columns);
    double total = 0;
    for (int i = 0; i < columns.size(); ++i) {
        if (columns.at(i).visible)
            total += qMax(columns.at(i).width, 8);
    }
    const double fit = total > 0 ? (m_width - ruleWidth(device)) / (total * perPixel) : 1.0;
    // A grid wider than the page prints smaller; a narrow one keeps its
    // letters and gets wider columns.
    const double shrink = std::clamp(fit, 0.25, 1.0);
    // The outer rules are drawn on the edge of the table, so keep it inside.
    const double rule = ruleWidth(device);
    const double tableWidth = m_width - rule;
    double x = rule / 2;
    for (int i = 0; i < columns.size(); ++i) {
        const GridColumn& c = columns.at(i);
        if (!c.visible)
            continue;
        const double w = total > 0 ? qMax(c.width, 8) / total * tableWidth : 0;
        m_columns << Column{modelColumns.at(i), x, w};
        x += w;
    }

    m_body.setPointSizeF(9.0 * shrink);
    m_bold = m_body;
    m_bold.setBold(true);
    m_title.setPointSizeF(14.0);
    m_title.setBold(true);
    m_margin.setPointSizeF(9.0);

    m_pad = 3.0 * perPixel * shrink;
    m_line = lineHeight(m_body, device);
    m_oneLine = m_line + 2 * m_pad;
    m_bandHeight = lineHeight(m_margin, device) * 1.8;
    m_titleBlock = 3 * lineHeight(m_title, device);

    const double boldLine = lineHeight(m_bold, device) + 2 * m_pad;
    m_titlesRow = boldLine;
    if (m_options.mode == 0) {
        for (const Column& c : m_columns) {
            if (c.modelColumn >= 0)
                m_titlesRow = qMax(m_titlesRow, textHeight(model.gridColumn(c.modelColumn).title,
                                                           c.width - 2 * m_pad, m_bold) +
                                                    2 * m_pad);
        }
    }
    bool anyFooter = false;
    for (const Column& c : m_columns)
        anyFooter = anyFooter || (c.modelColumn >= 0 && !model.footerText(c.modelColumn).isEmpty());
    m_footerRow = m_options.gridFooter && anyFooter ? boldLine : 0;

    const int rows = model.rowCount();
    if (m_options.mode == 0) {
        const QFontMetricsF fm(m_body, device);
        m_rowHeights.resize(size_t(rows));
        for (int r = 0; r < rows; ++r) {
            double h = m_line;
            for (const Column& c : m_columns) {
                const QString text = cellText(r, c);
                if (text.isEmpty())
                    continue;
                const double inner = c.width - 2 * m_pad;
                // Most cells fit on one line; measuring only the others keeps
                // long lists quick.
                if (!text.contains(QLatin1Char('\n')) && fm.horizontalAdvance(text) <= inner)
                    continue;
                h = qMax(h, textHeight(text, inner, m_body));
            }
            m_rowHeights[size_t(r)] = float(h + 2 * m_pad);
        }
    }

    const double body = m_height - 2 * m_bandHeight;
    int row = 0;
    for (;;) {
        double y = (m_pages.empty() ? m_titleBlock : 0) + m_titlesRow;
        const int first = row;
        while (row < rows) {
            const double h = m_rowHeights.empty() ? m_oneLine : m_rowHeights[size_t(row)];
            if (y + h > body && row > first)
                break;
            y += h;
            ++row;
        }
        const bool footer =
            row == rows && m_footerRow > 0 && (y + m_footerRow <= body || first == row);
        m_pages.push_back({first, row, footer});
        if (row == rows && (m_footerRow == 0 || footer))
            break;
    }
}

QString GridPrintLayout::cellText(int row, const Column& c) const
{
    if (c.modelColumn < 0)
        return QString();
    return m_model.displayText(row, c.modelColumn);
}

double GridPrintLayout::textHeight(const QString& text, double width, const QFont& font) const
{
    const QFontMetricsF fm(font, m_device);
    if (text.isEmpty())
        return fm.height();
    return fm.boundingRect(QRectF(0, 0, qMax(width, 1.0), 1e9), kTextFlagsWrapped, text).height();
}

void GridPrintLayout::paintTitles(QPainter& painter, double y) const
{
    painter.setFont(m_bold);
    for (const Column& c : m_columns) {
        const QRectF cell(c.x, y, c.width, m_titlesRow);
        painter.fillRect(cell, kTitlesFill);
        painter.setPen(Qt::black);
        if (c.modelColumn >= 0) {
            const QString title = m_model.gridColumn(c.modelColumn).title;
            const QRectF inner = cell.adjusted(m_pad, m_pad, -m_pad, -m_pad);
            if (m_options.mode == 0)
                painter.drawText(inner, int(Qt::AlignCenter) | kTextFlagsWrapped, title);
            else
                painter.drawText(inner, Qt::AlignCenter,
                                 QFontMetricsF(m_bold, m_device)
                                     .elidedText(title, Qt::ElideRight, inner.width()));
        }
    }
}

void GridPrintLayout::paintRow(QPainter& painter, double y, double height, int row) const
{
    painter.setFont(m_body);
    const QFontMetricsF fm(m_body, m_device);
    const RecordSet& records = m_model.records();
    for (const Column& c : m_columns) {
        const QRectF cell(c.x, y, c.width, height);
        if (c.modelColumn < 0)
            continue;
        const QModelIndex index = m_model.index(row, c.modelColumn);
        const QVariant background = m_model.data(index, Qt::BackgroundRole);
        if (background.isValid())
            painter.fillRect(cell, background.value<QColor>());
        const QVariant foreground = m_model.data(index, Qt::ForegroundRole);
        painter.setPen(foreground.isValid() ? foreground.value<QColor>() : QColor(Qt::black));
        const QRectF inner = cell.adjusted(m_pad, m_pad, -m_pad, -m_pad);

        const int field = records.fieldIndex(m_model.gridColumn(c.modelColumn).fieldName);
        if (field >= 0 && records.field(field).isBool()) {
            const QVariant check = m_model.data(index, Qt::CheckStateRole);
            if (!check.isValid())
                continue;
            const double side = m_line * 0.7;
            const QRectF box(inner.center().x() - side / 2, inner.top() + (m_line - side) / 2, side,
                             side);
            painter.save();
            painter.setPen(QPen(painter.pen().color(), side / 10));
            painter.drawRect(box);
            if (check.value<Qt::CheckState>() == Qt::Checked) {
                QPainterPath tick;
                tick.moveTo(box.left() + side * 0.2, box.top() + side * 0.5);
                tick.lineTo(box.left() + side * 0.42, box.top() + side * 0.75);
                tick.lineTo(box.left() + side * 0.8, box.top() + side * 0.25);
                painter.drawPath(tick);
            }
            painter.restore();
            continue;
        }
        const QString text = cellText(row, c);
        if (text.isEmpty())
            continue;
        Qt::Alignment align =
            alignmentOf(m_model.data(index, Qt::TextAlignmentRole), Qt::AlignLeft) &
            Qt::AlignHorizontal_Mask;
        if (m_options.mode == 0)
            painter.drawText(inner, int(align | Qt::AlignTop) | kTextFlagsWrapped, text);
        else
            painter.drawText(inner, int(align | Qt::AlignVCenter),
                             fm.elidedText(text, Qt::ElideRight, inner.width()));
    }
}

void GridPrintLayout::paintFooterRow(QPainter& painter, double y) const
{
    painter.setFont(m_bold);
    const QFontMetricsF fm(m_bold, m_device);
    for (const Column& c : m_columns) {
        const QRectF cell(c.x, y, c.width, m_footerRow);
        painter.fillRect(cell, kFooterFill);
        if (c.modelColumn < 0)
            continue;
        const QString text = m_model.footerText(c.modelColumn);
        if (text.isEmpty())
            continue;
        const GridColumn& gc = m_model.gridColumn(c.modelColumn);
        const Qt::Alignment align =
            gc.alignment == GridColumn::AlignRight || (gc.alignment == GridColumn::AlignDefault &&
                                                       gc.footerType == GridColumn::FooterSum)
                ? Qt::AlignRight
            : gc.alignment == GridColumn::AlignCenter ? Qt::AlignHCenter
                                                      : Qt::AlignLeft;
        painter.setPen(Qt::black);
        const QRectF inner = cell.adjusted(m_pad, 0, -m_pad, 0);
        painter.drawText(inner, int(align | Qt::AlignVCenter),
                         fm.elidedText(text, Qt::ElideRight, inner.width()));
    }
}

void GridPrintLayout::paintPage(QPainter& painter, int page) const
{
    if (page < 0 || page >= pageCount())
        return;
    const Page& p = m_pages.at(size_t(page));
    painter.save();
    painter.setPen(Qt::black);
    painter.setFont(m_margin);
    const QFontMetricsF margin(m_margin, m_device);
    if (!m_options.header.isEmpty())
        painter.drawText(QRectF(0, 0, m_width, m_bandHeight), Qt::AlignLeft | Qt::AlignVCenter,
                         margin.elidedText(m_options.header, Qt::ElideRight, m_width));
    const QRectF footerBand(0, m_height - m_bandHeight, m_width, m_bandHeight);
    painter.drawText(footerBand, Qt::AlignHCenter | Qt::AlignVCenter,
                     QStringLiteral("第 %1 页 共 %2 页").arg(page + 1).arg(pageCount()));
    if (!m_options.footer.isEmpty())
        painter.drawText(footerBand, Qt::AlignRight | Qt::AlignVCenter, m_options.footer);

    double y = m_bandHeight;
    if (page == 0) {
        const double line = m_titleBlock / 3;
        painter.setFont(m_title);
        painter.drawText(
            QRectF(0, y + line, m_width, line), Qt::AlignCenter,
            QFontMetricsF(m_title, m_device).elidedText(m_options.title, Qt::ElideRight, m_width));
        y += m_titleBlock;
    }
    const double top = y;
    paintTitles(painter, y);
    y += m_titlesRow;
    for (int row = p.first; row < p.end; ++row) {
        const double h = m_rowHeights.empty() ? m_oneLine : m_rowHeights[size_t(row)];
        paintRow(painter, y, h, row);
        y += h;
    }
    if (p.footerRow) {
        paintFooterRow(painter, y);
        y += m_footerRow;
    }

    // The rules go on last so that no cell colour covers them.
    painter.setPen(QPen(kLineColour, ruleWidth(m_device)));
    painter.setBrush(Qt::NoBrush);
    if (!m_columns.isEmpty()) {
        const double left = m_columns.first().x;
        const double right = m_columns.last().x + m_columns.last().width;
        for (const Column& c : m_columns)
            painter.drawLine(QPointF(c.x, top), QPointF(c.x, y));
        painter.drawLine(QPointF(right, top), QPointF(right, y));
        painter.drawLine(QPointF(left, top), QPointF(right, top));
        double ry = top + m_titlesRow;
        painter.drawLine(QPointF(left, ry), QPointF(right, ry));
        for (int row = p.first; row < p.end; ++row) {
            ry += m_rowHeights.empty() ? m_oneLine : m_rowHeights[size_t(row)];
            painter.drawLine(QPointF(left, ry), QPointF(right, ry));
        }
        if (p.footerRow)
            painter.drawLine(QPointF(left, y), QPointF(right, y));
    }
    painter.restore();
}

// ---- Printing

int renderGridToPrinter(DataGrid* grid, QPrinter* printer, const GridPrintOptions& options)
{
    if (!grid || !printer)
        return 0;
    QPainter painter;
    if (!painter.begin(printer))
        return 0;
    GridPrintOptions o = options;
    o.gridFooter = options.gridFooter && grid->footerVisible();
    const GridPrintLayout layout(*grid->model(), grid->columns(), o, printer);
    for (int page = 0; page < layout.pageCount(); ++page) {
        if (page > 0 && !printer->newPage())
            break;
        layout.paintPage(painter, page);
    }
    painter.end();
    return layout.pageCount();
}

void setPrintPreviewRunner(PrintPreviewRunner runner)
{
    previewRunner() = std::move(runner);
}

void PrintGrid(DataGrid* grid, const QString& title, int mode, const QString& footer,
               const QString& header)
{
    if (!grid)
        return;
    // The grid printer lives for the whole run: its fitting mode and paper
    // stay as last chosen.
    static int lastMode = 0;
    static std::optional<QPageLayout> lastPage;
    if (mode == 0 || mode == 1)
        lastMode = mode;

    GridPrintOptions options;
    options.title = title;
    options.mode = lastMode;
    options.header = header.trimmed().isEmpty() ? QString() : header;
    options.footer = GridPrintFooterText(footer);

    QPrinter printer(QPrinter::HighResolution);
    printer.setColorMode(QPrinter::Color);
    printer.setDocName(title);
    if (lastPage)
        printer.setPageLayout(*lastPage);
    else
        printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);

    const auto paint = [grid, options](QPrinter* p) { renderGridToPrinter(grid, p, options); };
    if (previewRunner()) {
        previewRunner()(&printer, paint);
    } else {
        QPrintPreviewDialog dialog(&printer, grid->window());
        dialog.setWindowTitle(QStringLiteral("打印预览 - %1").arg(title));
        dialog.resize(1000, 760);
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, paint);
        dialog.exec();
    }
    lastPage = printer.pageLayout();
}
