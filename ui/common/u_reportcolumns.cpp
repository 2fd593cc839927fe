#include "ui/common/u_reportcolumns.h"

#include <QAbstractItemView>
#include <QEvent>
#include <QHeaderView>
#include <QHelpEvent>
#include <QStyledItemDelegate>
#include <QToolTip>

#include <algorithm>

namespace {

// A value column grows at most to this many average characters, or to this
// share of a wide list's width; the tooltip shows the rest.
constexpr int kValueCharacters = 40;
constexpr int kValueShareOfWidth = 4;

// Paints the cells as usual, eliding the fill column's text in the middle,
// and answers a tooltip request on a cut cell with its whole text.
class TReportCellDelegate : public QStyledItemDelegate {
public:
    TReportCellDelegate(int middleColumn, QObject* parent) : QStyledItemDelegate(parent), middleColumn_(middleColumn) {}

    void SetMiddleColumn(int column) { middleColumn_ = column; }

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override
    {
        if (event->type() != QEvent::ToolTip || !index.isValid())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        if (!index.data(Qt::ToolTipRole).isNull())
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        const QString text = index.data(Qt::DisplayRole).toString();
        if (!text.isEmpty() && sizeHint(option, index).width() > option.rect.width())
            QToolTip::showText(event->globalPos(), text, view->viewport(), option.rect);
        else
            QToolTip::hideText();
        return true;
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        if (index.column() == middleColumn_)
            option->textElideMode = Qt::ElideMiddle;
    }

private:
    int middleColumn_;
};

} // namespace

TReportColumns::TReportColumns(QAbstractItemView& view, QHeaderView& header, int fillColumn, bool sortMarks)
    : QObject(&view), view_(view), viewport_(view.viewport()), header_(header), fillColumn_(fillColumn),
      sortMarks_(sortMarks)
{
    view_.setItemDelegate(new TReportCellDelegate(fillColumn, &view_));
    header_.setStretchLastSection(false);
    // A new column starts narrow and grows to what it shows.
    header_.setDefaultSectionSize(header_.minimumSectionSize());
    header_.setSectionResizeMode(QHeaderView::Interactive);
    viewport_->installEventFilter(this);
    connect(&header_, &QHeaderView::sectionResized, this, [this](int column) {
        if (!fitting_ && column != fillColumn_)
            Fill();
    });
    if (view_.model())
        connect(view_.model(), &QAbstractItemModel::modelReset, this, &TReportColumns::Fit);
}

void TReportColumns::SetFillColumn(int column)
{
    fillColumn_ = column;
    static_cast<TReportCellDelegate*>(view_.itemDelegate())->SetMiddleColumn(column);
}

int TReportColumns::CaptionWidth(int column) const
{
    int width = header_.sectionSizeHint(column);
    if (sortMarks_ && header_.model()
        && header_.model()->headerData(column, Qt::Horizontal, Qt::DecorationRole).isNull()) {
        const QStyle* style = header_.style();
        width += style->pixelMetric(QStyle::PM_SmallIconSize, nullptr, &header_)
                 + style->pixelMetric(QStyle::PM_HeaderMargin, nullptr, &header_);
    }
    return width;
}

int TReportColumns::ValueLimit() const
{
    return std::max(view_.fontMetrics().averageCharWidth() * kValueCharacters,
                    viewport_->width() / kValueShareOfWidth);
}

void TReportColumns::Fit()
{
    valueWidths_.assign(static_cast<std::size_t>(header_.count()), 0);
    for (int column = 0; column < header_.count(); ++column)
        valueWidths_[static_cast<std::size_t>(column)] = view_.sizeHintForColumn(column);
    Widen();
}

void TReportColumns::Widen()
{
    // Columns never measured (an empty list, or columns added since) still
    // need their captions.
    valueWidths_.resize(static_cast<std::size_t>(header_.count()), 0);
    fitting_ = true;
    const int limit = ValueLimit();
    for (int column = 0; column < header_.count(); ++column) {
        const int needed =
            std::max(CaptionWidth(column), std::min(valueWidths_[static_cast<std::size_t>(column)], limit));
        if (column != fillColumn_ && header_.sectionSize(column) < needed)
            header_.resizeSection(column, needed);
    }
    fitting_ = false;
    Fill();
}

void TReportColumns::Fill()
{
    if (fillColumn_ < 0 || fillColumn_ >= header_.count())
        return;
    int others = 0;
    for (int column = 0; column < header_.count(); ++column)
        if (column != fillColumn_ && !header_.isSectionHidden(column))
            others += header_.sectionSize(column);
    fitting_ = true;
    header_.resizeSection(fillColumn_, std::max(CaptionWidth(fillColumn_), viewport_->width() - others));
    fitting_ = false;
}

bool TReportColumns::eventFilter(QObject* watched, QEvent* event)
{
    // A wider list lets the value columns grow to their values. The view is
    // not asked for its viewport here: events come while the view is destroyed.
    if (watched == viewport_ && event->type() == QEvent::Resize)
        Widen();
    return QObject::eventFilter(watched, event);
}
