float a;
float b @;
ÿ