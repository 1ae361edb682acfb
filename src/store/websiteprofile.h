#pragma once

#include <QString>

// One stored website profile.
struct WebsiteProfile
{
    QString name; // shown in the profile list
    QString url; // the address of the site's login page
    QString loginName;
    QString password;
    QString thumbName; // bare name of its picture in the thumbs folder; empty when it has none
    bool tympra = false; // the rhythm check runs again before the profile is opened or its password leaves

    bool operator==(const WebsiteProfile &) const = default;
};

// The one user's enrolment: what the sign-in compares a login with.
struct Enrolment
{
    QString userName;
    QString masterPassword;
    // The stored typings of the master password, oldest first, each ending in "% " (see rhythmlearning.h).
    QString trainingText;

    bool operator==(const Enrolment &) const = default;
};
