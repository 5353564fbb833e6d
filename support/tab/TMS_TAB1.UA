eti=TMS_ETIP
tab=TMS_TABP
rec=TMS_RECP
tot=TMS_TOTP
end
