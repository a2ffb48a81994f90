#include "KVTFindBar.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

CKvtFindBar::CKvtFindBar(QWidget* pParent) : QWidget(pParent)
{
    setObjectName(QStringLiteral("pFindBar"));
    auto* pLayout = new QVBoxLayout(this);
    pLayout->setContentsMargins(2, 2, 2, 2);
    pLayout->setSpacing(2);

    auto* pTextRow = new QHBoxLayout;
    eFindText = new QLineEdit;
    eFindText->setObjectName(QStringLiteral("eFindText"));
    eFindText->setPlaceholderText(QStringLiteral("Find"));
    eFindText->setClearButtonEnabled(true);
    eFindText->installEventFilter(this);
    pTextRow->addWidget(eFindText, 1);
    QToolButton* pPrevious = NewButton("bFindPrevious", "Previous");
    QToolButton* pNext = NewButton("bFindNext", "Next");
    QToolButton* pAll = NewButton("bFindAll", "Find All");
    QToolButton* pClose = NewButton("bFindClose", "Close");
    for (QToolButton* pButton : {pPrevious, pNext, pAll, pClose})
        pTextRow->addWidget(pButton);
    pLayout->addLayout(pTextRow);

    auto* pOptionRow = new QHBoxLayout;
    cbFindLabels = NewCheck("cbFindLabels", "Labels", true);
    cbFindValues = NewCheck("cbFindValues", "Values", true);
    cbFindTypes = NewCheck("cbFindTypes", "Types", true);
    cbMatchCase = NewCheck("cbMatchCase", "Match case", false);
    cbWholeWord = NewCheck("cbWholeWord", "Whole word", false);
    cbRegularExpression = NewCheck("cbRegularExpression", "Regular expression", false);
    for (QCheckBox* pCheck : {cbFindLabels, cbFindValues, cbFindTypes, cbMatchCase, cbWholeWord, cbRegularExpression})
        pOptionRow->addWidget(pCheck);
    pOptionRow->addStretch(1);
    pLayout->addLayout(pOptionRow);

    lFindError = new QLabel;
    lFindError->setObjectName(QStringLiteral("lFindError"));
    ColourErrorText();
    lFindError->setWordWrap(true);
    lFindError->setVisible(false);
    pLayout->addWidget(lFindError);

    connect(eFindText, &QLineEdit::textChanged, this, &CKvtFindBar::SearchChanged);
    connect(pPrevious, &QToolButton::clicked, this, [this]() { emit FindRequested(true); });
    connect(pNext, &QToolButton::clicked, this, [this]() { emit FindRequested(false); });
    connect(pAll, &QToolButton::clicked, this, &CKvtFindBar::FindAllRequested);
    connect(pClose, &QToolButton::clicked, this, [this]() {
        hide();
        emit Closed();
    });
}

QCheckBox* CKvtFindBar::NewCheck(const char* pName, const char* pText, bool bChecked)
{
    auto* pCheck = new QCheckBox(QString::fromLatin1(pText));
    pCheck->setObjectName(QString::fromLatin1(pName));
    pCheck->setChecked(bChecked);
    connect(pCheck, &QCheckBox::toggled, this, &CKvtFindBar::SearchChanged);
    return pCheck;
}

QToolButton* CKvtFindBar::NewButton(const char* pName, const char* pText)
{
    auto* pButton = new QToolButton;
    pButton->setObjectName(QString::fromLatin1(pName));
    pButton->setText(QString::fromLatin1(pText));
    return pButton;
}

QString CKvtFindBar::Text() const
{
    return eFindText->text();
}

KvtFindOptions_st CKvtFindBar::Options() const
{
    KvtFindOptions_st options;
    options.bLabels = cbFindLabels->isChecked();
    options.bValues = cbFindValues->isChecked();
    options.bTypes = cbFindTypes->isChecked();
    options.bMatchCase = cbMatchCase->isChecked();
    options.bWholeWord = cbWholeWord->isChecked();
    options.bRegex = cbRegularExpression->isChecked();
    return options;
}

void CKvtFindBar::Open()
{
    show();
    eFindText->setFocus(Qt::ShortcutFocusReason);
    eFindText->selectAll();
}

void CKvtFindBar::SetError(const QString& sError)
{
    lFindError->setText(sError);
    lFindError->setVisible(!sError.isEmpty());
}

bool CKvtFindBar::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == eFindText && pEvent->type() == QEvent::KeyPress) {
        const auto* pKey = static_cast<QKeyEvent*>(pEvent);
        if (pKey->key() == Qt::Key_Return || pKey->key() == Qt::Key_Enter) {
            emit FindRequested(pKey->modifiers().testFlag(Qt::ShiftModifier));
            return true;
        }
        if (pKey->key() == Qt::Key_Escape) {
            hide();
            emit Closed();
            return true;
        }
    }
    return QWidget::eventFilter(pWatched, pEvent);
}

void CKvtFindBar::ColourErrorText()
{
    // Red that stands out from the bar's own ground: dark on a light palette,
    // light on a dark one.
    const QColor ground = palette().color(QPalette::Window);
    QPalette errorPalette = palette();
    errorPalette.setColor(QPalette::WindowText, ground.lightnessF() > 0.5 ? QColor(0x8b, 0, 0) : QColor(0xff, 0x9a, 0x9a));
    lFindError->setPalette(errorPalette);
}

void CKvtFindBar::changeEvent(QEvent* pEvent)
{
    QWidget::changeEvent(pEvent);
    if (pEvent->type() == QEvent::PaletteChange && lFindError)
        ColourErrorText();
}

void CKvtFindBar::keyPressEvent(QKeyEvent* pEvent)
{
    if (pEvent->key() != Qt::Key_Escape) {
        QWidget::keyPressEvent(pEvent);
        return;
    }
    hide();
    emit Closed();
}
