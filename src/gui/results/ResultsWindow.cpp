#include "gui/results/ResultsWindow.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QShortcut>
#include <QStyle>
#include <QToolButton>
#include <QVBoxLayout>

#include "core/engine/Comparison.h"
#include "core/engine/Prompter.h"
#include "core/results/FolderCheck.h"
#include "core/results/SelectionRules.h"
#include "core/results/VisibleRows.h"
#include "core/settings/Settings.h"
#include "core/text/Translated.h"
#include "gui/results/ResultsOrdering.h"
#include "gui/results/ResultsPlacement.h"
#include "gui/results/ResultsShaping.h"
#include "gui/results/ResultsStatusBar.h"
#include "gui/results/ViewToggleButtons.h"
#include "gui/twoway/TwoWayLists.h"
#include "gui/widgets/BackgroundPainter.h"
#include "gui/widgets/ElidedLabel.h"
#include "gui/widgets/FromStd.h"
#include "gui/widgets/HandingOnComboBox.h"
#include "gui/widgets/HelpWindow.h"
#include "gui/widgets/IconButton.h"
#include "gui/widgets/VirtualReportView.h"

namespace ravelmoor {
namespace {

constexpr int kFolderCheckMilliseconds = 20000;
constexpr int kBetweenLists = 16;

size_t SideIndex(ListSide side) {
    return side == ListSide::Source ? 0 : 1;
}

QFrame* Line(QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    return line;
}

}  // namespace

ResultsWindow::ResultsWindow(ResultsContext context, QWidget* parent)
    : QDialog(parent), context_(std::move(context)) {
    UseBackground(*this);
    setWindowTitle(FromStd(context_.title));
    setWindowFlags(windowFlags() | Qt::WindowMaximizeButtonHint);
    setSizeGripEnabled(false);
    BuildControls();
    BuildLayout();
    ConnectControls();
    ordering_ =
        std::make_unique<ResultsOrdering>(*List(ListSide::Source), *List(ListSide::Target), [this] {
            ClearSelections();
            RefreshLists();
        });
    shaping_ = new ResultsShaping(
        context_.comparison.SourceResults(), context_.comparison.TargetResults(), visibleRows_,
        lists_,
        [this] {
            ClearSelections();
            RefreshLists();
        },
        this);
    for (ResultsListModel* model : models_)
        model->SetShaping(shaping_);
    shaping_->PlaceControls(*views_, *body_);
    twoWay_ = new TwoWayLists(
        context_.comparison, context_.prompter, visibleRows_, lists_, *description_,
        [this] {
            ClearSelections();
            RefreshLists();
        },
        this);
    twoWay_->PlaceControls(*views_, *listsGrid_, *toggles_[0]);
    QWidget::setTabOrder(shaping_->FilterBox(), lists_[0]);
    QWidget::setTabOrder(toggles_.back(), shaping_->TreeButton());
    QWidget::setTabOrder(shaping_->TreeButton(), twoWay_->ConflictsToggle());
    QWidget::setTabOrder(twoWay_->ConflictsToggle(), methodCombo_);
    placement_ = std::make_unique<ResultsPlacement>(
        *this, *List(ListSide::Source), *List(ListSide::Target), *ordering_, context_.store);
    SetUpKeys();

    for (int i = 0; i < kSyncMethodCount; ++i)
        methodCombo_->addItem(
            FromStd(Translated("SyncMethod", SyncMethodText(static_cast<SyncMethod>(i)))));
    methodCombo_->setCurrentIndex(0);
    description_->setText(
        FromStd(Translated("SyncMethod", SyncMethodDescription(SyncMethod::None))));
    for (int i = 0; i < kViewChoiceCount; ++i)
        viewCombo_->addItem(
            FromStd(Translated("ViewChoice", ViewChoiceText(static_cast<ViewChoice>(i)))));
    ChooseView(ViewChoice::All);

    // The first size is the smallest; the saved placement comes after it.
    placement_->ApplyDefaultColumnWidths();
    layout()->activate();
    resize(sizeHint().expandedTo(QSize(760, 520)));
    // Never larger than the screen, whatever its scale: on a small one the
    // toggles show their icons alone (their tooltips name them).
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QSize room = screen->availableGeometry().size();
        if (minimumSizeHint().width() > room.width()) {
            for (QToolButton* toggle : toggles_)
                toggle->setToolButtonStyle(Qt::ToolButtonIconOnly);
            shaping_->TreeButton()->setToolButtonStyle(Qt::ToolButtonIconOnly);
            twoWay_->ConflictsToggle()->setToolButtonStyle(Qt::ToolButtonIconOnly);
            layout()->activate();
            resize(sizeHint().expandedTo(QSize(760, 520)));
        }
        resize(size().boundedTo(room));
    }
    setMinimumSize(size());
    placement_->Restore();

    connect(&folderCheck_, &QTimer::timeout, this, &ResultsWindow::CheckFoldersStillThere);
    folderCheck_.start(kFolderCheckMilliseconds);
}

ResultsWindow::~ResultsWindow() {
    placement_->Save();
    // Hidden while still whole: the focus and selection signals that hiding
    // sends must reach this window, not one half torn down by ~QWidget.
    hide();
}

void ResultsWindow::BuildControls() {
    QFont bold = font();
    bold.setWeight(QFont::Bold);
    const Comparison& comparison = context_.comparison;
    const FileList& source = comparison.SourceResults();
    const FileList& target = comparison.TargetResults();
    for (const ListSide side : {ListSide::Source, ListSide::Target}) {
        const size_t i = SideIndex(side);
        const bool isSource = side == ListSide::Source;
        pathLabels_[i] = new ElidedLabel(this);
        pathLabels_[i]->setFont(bold);
        // The label's own text (the Target one ends with a blank), one blank, the root.
        pathLabels_[i]->setText(
            (isSource ? tr("Source: %1") : tr("Target:  %1"))
                .arg(FromStd(isSource ? comparison.SourceRoot() : comparison.TargetRoot())));
        lists_[i] = new VirtualReportView(this);
        lists_[i]->setObjectName(isSource ? QStringLiteral("sourceList")
                                          : QStringLiteral("targetList"));
        models_[i] =
            new ResultsListModel(side, source, target, visibleRows_, method_, icons_, this);
        lists_[i]->setModel(models_[i]);
        countLabels_[i] = new QLabel(this);
        sizeLabels_[i] = new QLabel(this);
        sizeLabels_[i]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }

    auto focusClose = [this] { FocusClose(); };
    viewCombo_ = new HandingOnComboBox(focusClose, this);
    viewCombo_->setToolTip(tr("Select predefined view"));
    viewCombo_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    methodCombo_ = new HandingOnComboBox(focusClose, this);
    methodCombo_->setToolTip(tr("Select sync method"));
    methodCombo_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    toggles_ = MakeViewToggleButtons(this);
    description_ = new QLabel(this);
    description_->setWordWrap(true);
    description_->setTextFormat(Qt::PlainText);

    close_ = MakeIconButton(tr("&Close"), "cancel", tr("Close this window"), this);
    preview_ = MakeIconButton(tr("&Preview"), "preview",
                              tr("Preview which files/folders the selected sync method would copy "
                                 "or delete"),
                              this);
    synchronise_ =
        MakeIconButton(tr("&Synchronise"), "synchronise", tr("Sync Source and Target"), this);
    undo_ = MakeIconButton(tr("&Undo"), "undo",
                           tr("Undo the last synchronisation made from this window"), this);
    undo_->setEnabled(false);
    undo_->setAutoDefault(false);  // Return stays with "Synchronise"
    for (QPushButton* button : {close_, preview_, synchronise_, undo_})
        button->setFont(bold);
    synchronise_->setDefault(true);
    help_ = MakeSmallIconButton("help", tr("Help"), this);

    statusBar_ =
        new ResultsStatusBar(context_.settings.SummaryText(), comparison.UnlistableFoldersWarning(),
                             context_.prompter, this);
}

void ResultsWindow::BuildLayout() {
    auto* lists = new QGridLayout;
    listsGrid_ = lists;
    for (const ListSide side : {ListSide::Source, ListSide::Target}) {
        const size_t i = SideIndex(side);
        // Column 1 between them is the two-way method's.
        const int column = static_cast<int>(i) * 2;
        lists->addWidget(pathLabels_[i], 0, column);
        lists->addWidget(lists_[i], 1, column);
        auto* totals = new QHBoxLayout;
        totals->addWidget(countLabels_[i]);
        totals->addStretch();
        totals->addWidget(sizeLabels_[i]);
        lists->addLayout(totals, 2, column);
        lists->setColumnStretch(column, 1);
    }
    lists->setRowStretch(1, 1);
    lists->setHorizontalSpacing(kBetweenLists);

    auto* views = new QHBoxLayout;
    views_ = views;
    auto* viewLabel = new QLabel(tr("&View:"), this);
    viewLabel->setBuddy(viewCombo_);
    views->addWidget(viewLabel);
    views->addWidget(viewCombo_);
    views->addSpacing(8);
    for (QToolButton* toggle : toggles_)
        views->addWidget(toggle);
    views->addSpacing(8);

    auto* commands = new QHBoxLayout;
    auto* methodLabel = new QLabel(tr("&Method:"), this);
    methodLabel->setBuddy(methodCombo_);
    commands->addWidget(help_);
    commands->addStretch();
    commands->addWidget(methodLabel);
    commands->addWidget(methodCombo_);
    commands->addSpacing(12);
    commands->addWidget(close_);
    commands->addWidget(preview_);
    commands->addWidget(synchronise_);
    commands->addWidget(undo_);
    commands->addStretch();
    // As wide as the help button, so that the commands stay centred.
    commands->addSpacing(help_->sizeHint().width());

    auto* body = new QVBoxLayout;
    body_ = body;
    body->setContentsMargins(style()->pixelMetric(QStyle::PM_LayoutLeftMargin),
                             style()->pixelMetric(QStyle::PM_LayoutTopMargin),
                             style()->pixelMetric(QStyle::PM_LayoutRightMargin),
                             style()->pixelMetric(QStyle::PM_LayoutBottomMargin));
    body->addLayout(lists, 1);
    body->addWidget(Line(this));
    body->addLayout(views);
    body->addWidget(description_);
    body->addWidget(Line(this));
    body->addLayout(commands);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(body, 1);
    layout->addWidget(statusBar_);

    setTabOrder(lists_[0], lists_[1]);
    setTabOrder(lists_[1], viewCombo_);
    QWidget* previous = viewCombo_;
    for (QToolButton* toggle : toggles_) {
        setTabOrder(previous, toggle);
        previous = toggle;
    }
    for (QWidget* next : std::initializer_list<QWidget*>{methodCombo_, close_, preview_,
                                                         synchronise_, undo_, help_}) {
        setTabOrder(previous, next);
        previous = next;
    }
}

void ResultsWindow::ConnectControls() {
    connect(methodCombo_, &QComboBox::activated, this,
            [this](int index) { ChooseMethod(static_cast<SyncMethod>(index)); });
    connect(viewCombo_, &QComboBox::activated, this,
            [this](int index) { ChooseView(static_cast<ViewChoice>(index)); });
    for (QToolButton* toggle : toggles_) {
        connect(toggle, &QToolButton::clicked, this, [this] {
            RefreshLists();
            FocusClose();
        });
    }
    connect(close_, &QPushButton::clicked, this, &ResultsWindow::reject);
    connect(preview_, &QPushButton::clicked, this, &ResultsWindow::OnPreview);
    connect(synchronise_, &QPushButton::clicked, this, &ResultsWindow::OnSynchronise);
    connect(undo_, &QPushButton::clicked, this, &ResultsWindow::OnUndo);
    connect(help_, &QToolButton::clicked, this,
            [this] { HelpWindow::Show(help_topics::kCompare, this); });

    for (const ListSide side : {ListSide::Source, ListSide::Target}) {
        VirtualReportView* list = lists_[SideIndex(side)];
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                [this, side] { OnSelectionChanged(side); });
        connect(list, &VirtualReportView::FocusLost, this,
                [this, side](Qt::FocusReason reason) { OnFocusLost(side, reason); });
        connect(list, &VirtualReportView::ContextMenuRequested, this,
                [this, side](const QPoint& at) { ShowContextMenu(side, at); });
    }
    // Both lists always show the same first row.
    QScrollBar* sourceBar = lists_[0]->verticalScrollBar();
    QScrollBar* targetBar = lists_[1]->verticalScrollBar();
    connect(sourceBar, &QScrollBar::valueChanged, targetBar, &QScrollBar::setValue);
    connect(targetBar, &QScrollBar::valueChanged, sourceBar, &QScrollBar::setValue);
}

void ResultsWindow::reject() {
    if (commands_.Running()) return;
    folderCheck_.stop();
    QDialog::reject();
}

void ResultsWindow::RefreshLists() {
    const bool hadSelection =
        lists_[0]->selectionModel()->hasSelection() || lists_[1]->selectionModel()->hasSelection();
    const FileList& source = context_.comparison.SourceResults();
    const FileList& target = context_.comparison.TargetResults();
    ShownTotals viewTotals = ComputeVisibleRows(source, target, Toggles(), visibleRows_);
    if (twoWay_->Narrow(visibleRows_)) viewTotals = TotalsOf(source, target, visibleRows_);
    const ShownTotals totals = shaping_->Shape(viewTotals, visibleRows_);
    // The tree keeps the path order: a folder before what it holds.
    const std::optional<RowOrder>& order = ordering_->Order();
    if (order && !shaping_->TreeMode())
        SortRows(context_.comparison.SourceResults(), context_.comparison.TargetResults(), *order,
                 visibleRows_);
    viewCombo_->setCurrentIndex(static_cast<int>(ChoiceOf(Toggles())));
    for (ResultsListModel* model : models_)
        model->Reload();
    twoWay_->Reload();
    countLabels_[0]->setText(FromStd(CountLabelText(totals.SourceCount())));
    sizeLabels_[0]->setText(FromStd(SizeLabelText(totals.sourceBytes)));
    countLabels_[1]->setText(FromStd(CountLabelText(totals.TargetCount())));
    sizeLabels_[1]->setText(FromStd(SizeLabelText(totals.targetBytes)));
    // The reload drops the selections without telling the selection models' watchers.
    if (hadSelection) {
        statusBar_->SetSelectionText(FromStd(
            ravelmoor::SelectionText(context_.comparison.SourceResults(), visibleRows_, {})));
    }
}

void ResultsWindow::KeepDescriptionHeight() {
    // As high as the longest description needs at this width, so that the
    // lists keep their height whichever method is chosen.
    const int width = description_->width();
    if (width <= 0) return;
    const QFontMetrics metrics(description_->font());
    int height = metrics.height();
    for (int i = 0; i < kSyncMethodCount; ++i) {
        const QString text =
            FromStd(Translated("SyncMethod", SyncMethodDescription(static_cast<SyncMethod>(i))));
        height = std::max(
            height,
            metrics.boundingRect(QRect(0, 0, width, 1 << 20), Qt::TextWordWrap, text).height());
    }
    if (description_->height() != height) description_->setFixedHeight(height);
}

void ResultsWindow::ChooseMethod(SyncMethod method) {
    method_ = method;
    methodCombo_->setCurrentIndex(static_cast<int>(method));
    if (const auto toggles = DefaultView(method)) SetToggles(*toggles);
    description_->setText(FromStd(Translated("SyncMethod", SyncMethodDescription(method))));
    twoWay_->SetActive(method == SyncMethod::TwoWay);
    RefreshLists();
    FocusClose();
}

ResultsView ResultsWindow::CurrentView() const {
    return {method_, Toggles(), shaping_->TreeMode(), shaping_->FilterText()};
}

void ResultsWindow::ApplyView(const ResultsView& view) {
    method_ = view.method;
    methodCombo_->setCurrentIndex(static_cast<int>(view.method));
    description_->setText(FromStd(Translated("SyncMethod", SyncMethodDescription(view.method))));
    SetToggles(view.toggles);
    shaping_->SetTreeMode(view.tree);
    shaping_->SetFilterText(view.filter);
    twoWay_->SetActive(view.method == SyncMethod::TwoWay);
    RefreshLists();
}

void ResultsWindow::ShowOnlyFolderOf(ListSide side) {
    const int item = List(side)->currentIndex().row();
    if (item < 0 || static_cast<size_t>(item) >= visibleRows_.size()) return;
    shaping_->ShowOnlyFolder(visibleRows_[static_cast<size_t>(item)]);
}

void ResultsWindow::ChooseView(ViewChoice choice) {
    viewCombo_->setCurrentIndex(static_cast<int>(choice));
    if (const auto toggles = TogglesOf(choice)) {
        SetToggles(*toggles);
        RefreshLists();
    }
    FocusClose();
}

ViewToggles ResultsWindow::Toggles() const {
    auto on = [this](ViewToggle toggle) {
        return toggles_[static_cast<size_t>(toggle)]->isChecked();
    };
    return {.matched = on(ViewToggle::Matched),
            .newer = on(ViewToggle::Newer),
            .older = on(ViewToggle::Older),
            .unmatched = on(ViewToggle::Unmatched),
            .excluded = on(ViewToggle::Excluded)};
}

void ResultsWindow::SetToggles(const ViewToggles& toggles) {
    auto set = [this](ViewToggle toggle, bool on) {
        toggles_[static_cast<size_t>(toggle)]->setChecked(on);
    };
    set(ViewToggle::Matched, toggles.matched);
    set(ViewToggle::Unmatched, toggles.unmatched);
    set(ViewToggle::Newer, toggles.newer);
    set(ViewToggle::Older, toggles.older);
    set(ViewToggle::Excluded, toggles.excluded);
}

void ResultsWindow::FocusClose() {
    close_->setFocus(Qt::OtherFocusReason);
}

void ResultsWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (opened_) return;
    opened_ = true;
    // Said once the window is up, over it.
    QMetaObject::invokeMethod(this, &ResultsWindow::OnOpened, Qt::QueuedConnection);
}

void ResultsWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    KeepDescriptionHeight();
    placement_->AfterResize();
}

void ResultsWindow::OnOpened() {
    // From now on the Name columns take the changes of the window's width;
    // the sizes the window went through while it was laid out and shown
    // leave the widths as they were set.
    for (VirtualReportView* list : lists_) {
        list->SetGrowingColumn(static_cast<int>(ResultColumn::Name));
        // Without saved widths Name takes what Size and Timestamp leave;
        // saved widths that filled the list fill it again, with or without
        // the vertical scroll bar they were saved with.
        if (!placement_->WidthsSaved()) {
            list->FillWithGrowingColumn();
        } else {
            list->FitGrowingColumn(list->verticalScrollBar()->sizeHint().width());
        }
    }
    if (context_.comparison.AllIdentical())
        context_.prompter.Inform(Translated("Comparison", Comparison::kIdenticalMessage));
    // Also in the status bar; said once here, since rows that no sync will
    // touch are easily overlooked in a long list.
    const std::string warning = context_.comparison.UnlistableFoldersWarning();
    if (!warning.empty()) context_.prompter.Warn(warning);
}

void ResultsWindow::CheckFoldersStillThere() {
    // One warning at a time, and none in the middle of a command.
    if (commands_.Running() || warningShown_) return;
    const Comparison& comparison = context_.comparison;
    auto local = [](bool ftp, const std::string& folder) {
        return ftp ? std::nullopt : std::optional<std::string>(folder);
    };
    const std::string_view warning = FolderGoneWarning(
        local(!comparison.Sides().IsLocal(Side::Source), comparison.SourceFolder()),
        local(!comparison.Sides().IsLocal(Side::Target), comparison.TargetFolder()));
    if (warning.empty()) return;
    warningShown_ = true;
    context_.prompter.Warn(Translated("FolderCheck", warning));
    warningShown_ = false;
}

QString ResultsWindow::SummaryText() const {
    return statusBar_->SummaryText();
}

QString ResultsWindow::SelectionText() const {
    return statusBar_->SelectionText();
}

QString ResultsWindow::UnreadableFoldersText() const {
    return statusBar_->UnreadableFoldersText();
}

QToolButton* ResultsWindow::FailuresButton() const {
    return statusBar_->FailuresButton();
}

std::vector<int> ResultsWindow::SelectedItems(ListSide side) const {
    std::vector<ItemRun> runs;
    for (const QItemSelectionRange& range : List(side)->selectionModel()->selection())
        runs.push_back({range.top(), range.bottom()});
    return ravelmoor::SelectedItems(std::move(runs));
}

void ResultsWindow::OnSelectionChanged(ListSide side) {
    const FileList& list = side == ListSide::Source ? context_.comparison.SourceResults()
                                                    : context_.comparison.TargetResults();
    statusBar_->SetSelectionText(
        FromStd(ravelmoor::SelectionText(list, visibleRows_, SelectedItems(side))));
}

void ResultsWindow::OnFocusLost(ListSide side, Qt::FocusReason reason) {
    // A menu or another window in front takes the focus only for a while.
    if (commands_.Busy() || reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason)
        return;
    List(side)->clearSelection();
}

void ResultsWindow::ClearSelections() {
    for (VirtualReportView* list : lists_)
        list->clearSelection();
}

void ResultsWindow::OnSynchronise() {
    commands_.Synchronise();
}

void ResultsWindow::OnUndo() {
    commands_.Undo();
}

void ResultsWindow::OnPreview() {
    commands_.Preview();
}

void ResultsWindow::ShowContextMenu(ListSide side, const QPoint& globalPosition) {
    commands_.ShowContextMenu(side, globalPosition);
}

void ResultsWindow::SortBy(ListSide side, ResultColumn column) {
    ordering_->SortBy(side, column);
}

const std::optional<RowOrder>& ResultsWindow::Order() const {
    return ordering_->Order();
}

void ResultsWindow::ShowSyncReport(const std::string& summary, uint64_t notDone,
                                   std::vector<std::string> failures) {
    statusBar_->ShowSyncReport(summary, notDone, std::move(failures));
}

void ResultsWindow::CompareAgain() {
    if (commands_.Running()) return;
    folderCheck_.stop();
    done(kCompareAgain);
}

void ResultsWindow::SetUpKeys() {
    auto* again = new QShortcut(QKeySequence::Refresh, this);
    connect(again, &QShortcut::activated, this, &ResultsWindow::CompareAgain);
    for (const ListSide side : {ListSide::Source, ListSide::Target}) {
        // Only where the selection is: on the list that has the focus.
        auto* remove =
            new QShortcut(QKeySequence::Delete, List(side), nullptr, nullptr, Qt::WidgetShortcut);
        connect(remove, &QShortcut::activated, this,
                [this, side] { commands_.DeleteSelected(side); });
    }
}

}  // namespace ravelmoor
