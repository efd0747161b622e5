// Bodies of the SharableSV template; included by SharableSV.h only.
