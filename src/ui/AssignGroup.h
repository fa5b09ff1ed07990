#pragma once

#include <QDialog>

#include <cstdint>

class QLineEdit;

// Asks for the number of an existing group, 1 to groupCount; an entry outside
// that range is refused with a message and the dialog stays open. GetGroup()
// is the 0-based group after Accepted.
class CAssignGroup : public QDialog {
    Q_OBJECT
public:
    CAssignGroup(uint32_t groupCount, QWidget* parent = nullptr);
    uint64_t GetGroup() const { return group_; }

    void accept() override;

private:
    uint32_t groupCount_;
    uint64_t group_ = 0;
    QLineEdit* number_;
};
