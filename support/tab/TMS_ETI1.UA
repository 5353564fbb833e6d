eti=TMS_ETIS
end
