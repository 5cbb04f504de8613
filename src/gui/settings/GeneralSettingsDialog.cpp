#include "gui/settings/GeneralSettingsDialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

#include "core/engine/Prompter.h"
#include "core/settings/GeneralSettingsCheck.h"
#include "core/settings/Settings.h"
#include "core/settings/SettingsStore.h"
#include "gui/widgets/BackgroundPainter.h"
#include "gui/widgets/FromStd.h"
#include "gui/widgets/HelpWindow.h"
#include "gui/widgets/IconButton.h"
#include "gui/widgets/Pickers.h"
#include "gui/widgets/ShowOutcome.h"

namespace ravelmoor {

GeneralSettingsDialog::GeneralSettingsDialog(Settings& settings, SettingsStore& store,
                                             Prompter& prompter, Pickers& pickers, QWidget* parent)
    : QDialog(parent), settings_(settings), store_(store), prompter_(prompter), pickers_(pickers) {
    UseBackground(*this);
    setWindowTitle(tr("General Settings"));

    auto* timestamps = new QGroupBox(tr("Size and Timestamp Comparison:"), this);
    twoSeconds_ =
        new QCheckBox(tr("Ignore up to 2 seconds difference between files (NTFS/FAT)"), timestamps);
    sixtySeconds_ =
        new QCheckBox(tr("Ignore up tp 60 seconds difference between files"), timestamps);
    oneHour_ = new QCheckBox(tr("Ignore 1 hour difference between files (DST) "), timestamps);
    auto* timestampLayout = new QVBoxLayout(timestamps);
    timestampLayout->addWidget(twoSeconds_);
    timestampLayout->addWidget(sixtySeconds_);
    timestampLayout->addWidget(oneHour_);

    auto* crc = new QGroupBox(tr("CRC Comparison:"), this);
    chunk_ = new QLineEdit(crc);
    chunk_->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), chunk_));
    chunk_->setMaxLength(10);
    chunk_->setAlignment(Qt::AlignRight);
    chunk_->setFixedWidth(chunk_->fontMetrics().horizontalAdvance(QStringLiteral("0000000000000")));
    auto* chunkLine = new QHBoxLayout;
    chunkLine->addWidget(new QLabel(tr("Only consider initial"), crc));
    chunkLine->addWidget(chunk_);
    chunkLine->addWidget(new QLabel(tr("bytes for CRC calculation"), crc));
    chunkLine->addStretch();
    auto* crcLayout = new QVBoxLayout(crc);
    crcLayout->addLayout(chunkLine);
    crcLayout->addWidget(new QLabel(tr("Use '0' for computing the whole file"), crc));

    program_ = new QLineEdit(this);
    browse_ = MakeIconButton(tr("Browse..."), "browse", tr("Select File Comparison Program"), this);
    parameters_ = new QLineEdit(this);
    auto* programLabel = new QLabel(tr("File Comparison Program:"), this);
    programLabel->setBuddy(program_);
    auto* parametersLabel = new QLabel(tr("Parameters:"), this);
    parametersLabel->setBuddy(parameters_);
    auto* programGrid = new QGridLayout;
    programGrid->addWidget(programLabel, 0, 0, 1, 2);
    programGrid->addWidget(program_, 1, 0);
    programGrid->addWidget(browse_, 1, 1);
    programGrid->addWidget(parametersLabel, 2, 0, 1, 2);
    programGrid->addWidget(parameters_, 3, 0, 1, 2);

    keepReplaced_ = new QCheckBox(tr("Keep the old versions of replaced files in the trash"), this);
    // A server has no trash: what a sync replaces or deletes there is kept on it.
    versionDays_ = new QSpinBox(this);
    versionDays_->setRange(0, kMaxVersionDays);
    auto* versionsLine = new QHBoxLayout;
    auto* versionsLabel =
        new QLabel(tr("Keep replaced and deleted files on FTP and SFTP servers for"), this);
    versionsLabel->setBuddy(versionDays_);
    versionsLine->addWidget(versionsLabel);
    versionsLine->addWidget(versionDays_);
    versionsLine->addWidget(new QLabel(tr("days"), this));
    versionsLine->addStretch();

    auto* buttons = MakeOkCancelHelpButtons(*this, help_topics::kSettings);
    connect(browse_, &QPushButton::clicked, this, &GeneralSettingsDialog::OnBrowseProgram);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(timestamps);
    layout->addWidget(crc);
    layout->addLayout(programGrid);
    layout->addWidget(keepReplaced_);
    layout->addLayout(versionsLine);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    twoSeconds_->setChecked(settings.ignoreTwoSeconds);
    sixtySeconds_->setChecked(settings.ignoreSixtySeconds);
    oneHour_->setChecked(settings.ignoreOneHour);
    keepReplaced_->setChecked(settings.keepReplaced);
    versionDays_->setValue(settings.versionDays);
    chunk_->setText(QString::number(settings.crcChunk));
    program_->setText(FromStd(settings.comparisonProgram));
    parameters_->setText(FromStd(settings.comparisonParameters));
}

void GeneralSettingsDialog::accept() {
    GeneralSettingsInput input;
    input.ignoreTwoSeconds = twoSeconds_->isChecked();
    input.ignoreSixtySeconds = sixtySeconds_->isChecked();
    input.ignoreOneHour = oneHour_->isChecked();
    input.chunkText = chunk_->text().toStdString();
    input.comparisonProgram = program_->text().toStdString();
    input.comparisonParameters = parameters_->text().toStdString();

    const GeneralSettingsCheck check = CheckGeneralSettings(input);
    if (!check.Ok()) {
        prompter_.Warn(check.reason);
        switch (check.status) {
            case GeneralSettingsField::Chunk:
                chunk_->setFocus();
                break;
            case GeneralSettingsField::Parameters:
                parameters_->setFocus();
                break;
            default:
                program_->setFocus();
                break;
        }
        return;
    }

    settings_.ignoreTwoSeconds = input.ignoreTwoSeconds;
    settings_.ignoreSixtySeconds = input.ignoreSixtySeconds;
    settings_.ignoreOneHour = input.ignoreOneHour;
    settings_.crcChunk = check.crcChunk;
    settings_.comparisonProgram = input.comparisonProgram;
    settings_.comparisonParameters = input.comparisonParameters;
    settings_.keepReplaced = keepReplaced_->isChecked();
    settings_.versionDays = versionDays_->value();
    settings_.SaveGeneralSettings(store_);
    // The settings hold for this run even when the file cannot keep them.
    ShowOutcome(prompter_, store_.Sync());
    QDialog::accept();
}

void GeneralSettingsDialog::OnBrowseProgram() {
    FileChoice choice;
    choice.title = tr("Select File Comparison Program");
    choice.filter = tr("Applications (*)");
    choice.initial = program_->text().toStdString();
    if (const auto chosen = pickers_.PickFileToOpen(this, choice)) {
        program_->setText(FromStd(*chosen));
    }
}

}  // namespace ravelmoor
