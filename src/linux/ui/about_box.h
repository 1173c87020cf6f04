// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QWidget>

#include <memory>

class QLabel;
class QPushButton;

namespace qni {

struct Platform;
class Shell;

// Styles a label as a link: underlined, blue (0, 0, 255), and over it the
// pointer that pointerFile holds, or the desktop's pointing hand when the file
// holds no usable pointer. Elsewhere the ordinary arrow.
void StyleLinkLabel(QLabel& label, const QString& pointerFile);

// The About box: the program's name, platform, version and author, and a
// link that opens the maker's page. A fixed, modeless tool window without
// owner; OK and the close box close it and delete it, so each opening starts
// from a fresh box.
class AboutBox final : public QWidget {
    Q_OBJECT
public:
    // The box opens the link with the platform's shell. programFolder holds
    // Hand.cur; by default the executable's folder.
    explicit AboutBox(const Platform& platform, const QString& programFolder = QString());

    // Hands the address to the shell's open operation; the outcome is not
    // looked at.
    void OpenWebPage(const QString& address);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void Form_Load(const QString& programFolder);
    void Label4_Click();
    void cmdOK_Click();

    std::shared_ptr<Shell> shell_;
    QLabel* lblAbout = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QPushButton* cmdOK = nullptr;
    bool label4Pressed_ = false;
    bool centred_ = false;
};

// Help > About: loads the About box unless it is open, shows it and brings
// it to the front. There is never more than one. Returns the box shown.
AboutBox* showAboutBox(const Platform& platform, const QString& programFolder = QString());

} // namespace qni
