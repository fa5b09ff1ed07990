#include "ui/AssignGroup.h"

CAssignGroup::CAssignGroup(uint32_t groupCount, QWidget* parent)
    : QDialog(parent), groupCount_(groupCount) {}
