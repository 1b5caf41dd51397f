#include "capture/MorvaneViewController.h"

MorvaneViewController::MorvaneViewController() = default;

MorvaneViewController::~MorvaneViewController() = default;
